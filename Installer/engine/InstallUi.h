// What the engine needs of the user interface: the progress page and the
// message box. The engine knows nothing else of windows; tests record these.
#pragma once
#include <windows.h>

class IInstallUi {
 public:
  virtual ~IInstallUi() {}
  // type 0/11025 information, 11034 question. 1 the user accepted; 2 declined;
  // -1 the box could not be shown. Blocks the calling thread.
  virtual int ShowPopMsg(int type, const char* text) = 0;
  // Moves the bar; sleeps 50 ms; 100 starts the page's end timer.
  virtual void SetProgress(int percent) = 0;
  // The progress page's window, handed to the helper library.
  virtual HWND ProgressWindow() = 0;
  // Ends the program: WM_QUIT to the main window.
  virtual void PostQuit() = 0;
};

// Until the skinned box exists: the system message box, no progress page.
class CSystemInstallUi : public IInstallUi {
 public:
  int ShowPopMsg(int type, const char* text) override;
  void SetProgress(int) override {}
  HWND ProgressWindow() override { return NULL; }
  void PostQuit() override { PostQuitMessage(0); }
};
