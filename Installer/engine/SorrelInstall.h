// The install engine: the package, the checks, the install run, registration,
// the final actions and the DLP client.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

#include "InstallProc.h"
#include "Progress.h"
#include "package/ZipArchive.h"

class SetupContext;
class IInstallUi;

class CSorrelInstall : public IInstallProc {
 public:
  // packageModule: where the PACKED_DATA resource is looked up (NULL: the program).
  CSorrelInstall(const SetupContext& context, IInstallUi& ui, HMODULE packageModule = NULL);
  ~CSorrelInstall() override;
  CSorrelInstall(const CSorrelInstall&) = delete;
  CSorrelInstall& operator=(const CSorrelInstall&) = delete;

  // IInstallProc
  std::string GetAgreementText() override;
  int CheckCanInstall() override;
  int RunInstall() override;
  void AbandonInstall() override;
  void FinishInstall(int registerAutorun, int openDriveRoot, int createDesktopShortcut) override;

  // The package.
  void OpenPackage();
  void ExtractHelperLibrary();
  int IsMemberForThisMachine(const char* name);
  std::string UnpackMember(const char* name);
  int DecodeLzmaFile(const char* source, const char* destination);

  // Checks before and at the start of the run.
  void ReadPreservedLoginUrls();
  int ConfirmReinstall();
  void WritePreservedLoginUrls();

  // The run's phases.
  int PrepareOldInstall(const ProgressRange* range);
  int ExtractProductFiles(const ProgressRange* range);
  void WriteProductRegistry(const ProgressRange* range);
  int FinishRegistration(const ProgressRange* range);
  void DeleteSetupRuntime();

  // The DLP client.
  int InstallDlpClient();
  int RunDlpInstaller(const char* path);

  // Read-only views for the page flow and for tests.
  bool IsPackageOpen() const { return m_package != NULL; }
  const std::string& Version() const { return m_version; }
  const std::string& ProductId() const { return m_productId; }
  unsigned LastMemberIndex() const { return m_lastMemberIndex; }
  unsigned FirstProductMemberIndex() const { return m_firstProductMemberIndex; }
  int InstallsDlpClient() const { return m_installDlpClient; }
  const std::string& PreservedLoginUrl() const { return m_loginUrl; }
  const std::string& PreservedLoginUrlList() const { return m_loginUrlList; }
  HMODULE HelperLibrary() const { return m_helperLibrary; }

 private:
  // Abandoning: the worker writes only between BeginWrite and EndWrite, and
  // BeginWrite refuses once AbandonInstall has begun.
  bool BeginWrite();
  void EndWrite();
  bool Abandoning() const { return m_abandoning != 0; }
  // Journal of what this run created, for AbandonInstall.
  void JournalCreatedFile(const std::string& path);
  // CreateDirectoryPath, journalling every level it makes.
  void CreateDirectoryJournaled(const std::string& path);
  void RemoveCreatedPaths();

  bool PackageUsable() const { return m_package != NULL && m_packageUsable; }
  std::string InstallDirWithSlash() const;
  // Stage 1: member index to P + name. ZR_NOFILE for a name that is not a
  // plain, safe file name.
  unsigned ExtractStageFile(int index, const char* name);
  void StopRunOnClosedPackage();

  // Registration steps (worker thread, and FinishInstall).
  void RemoveOldProductShortcuts();
  void CreateStartMenuGroup();
  void WriteAutorunValue();
  void CreateDesktopShortcut();

  HZIP m_package;
  HGLOBAL m_packageResource;
  HMODULE m_helperLibrary;
  std::string m_version;
  std::string m_type;
  std::string m_productId;
  std::string m_versionNumber;
  std::string m_packetName;
  std::string m_productName;
  std::string m_agreementText;
  std::string m_loginUrl;
  std::string m_loginUrlList;
  int m_installDlpClient;
  unsigned m_lastMemberIndex;
  unsigned m_firstProductMemberIndex;

  const SetupContext& m_context;
  IInstallUi& m_ui;
  HMODULE m_packageModule;

  bool m_packageUsable;  // descriptor read and machine type matched
  volatile LONG m_abandoning;
  volatile LONG m_writing;
  CRITICAL_SECTION m_journalLock;
  std::vector<std::string> m_createdFiles;
  std::vector<std::string> m_createdDirectories;  // in order of creation
};
