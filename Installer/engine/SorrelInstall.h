// The install engine: the package, the checks, the install run, registration,
// the final actions and the DLP client.
#pragma once
#include <windows.h>
#include <string>

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
};
