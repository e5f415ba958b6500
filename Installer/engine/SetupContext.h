// The program-wide record shared by the pages and the engine.
#pragma once
#include <windows.h>
#include <string>

class IInstallProc;
class IInstallUi;

enum SetupPage { kPageHome = 0, kPageInstallOptions = 1, kPageProgress = 2, kPageFinish = 3 };

class SetupContext {
 public:
  // ui: the progress page and message box the engine reports to (not owned;
  // NULL: the system message box, no progress page).
  // packageModule: module holding the PACKED_DATA resource (NULL: the program).
  explicit SetupContext(IInstallUi* ui, HMODULE packageModule = NULL);
  ~SetupContext();
  SetupContext(const SetupContext&) = delete;
  SetupContext& operator=(const SetupContext&) = delete;

  // Drops one trailing backslash.
  void SetInstallPath(const std::string& path);
  std::string GetInstallPath() const;

  HANDLE workerThread;      // set by the progress page
  volatile LONG currentPage;  // SetupPage
  IInstallProc* engine;     // owned
  int desktopShortcut;      // 0 or 1
  int openAfterInstall;     // 0 or 1
  IInstallUi* ui;

 private:
  std::string m_installPath;
  IInstallUi* m_ownedUi;  // the system-box fallback when no ui was given
};

// Worker thread entry (_beginthreadex); context is the SetupContext. Runs the
// install only while the progress page is current.
unsigned __stdcall WorkerThreadProc(void* context);
