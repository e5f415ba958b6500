#include "SetupContext.h"

#include "InstallUi.h"
#include "SorrelInstall.h"

SetupContext::SetupContext(IInstallUi* ui, HMODULE packageModule)
    : workerThread(NULL), currentPage(kPageHome), engine(NULL), desktopShortcut(1),
      openAfterInstall(1), ui(ui), m_ownedUi(NULL) {
  if (!this->ui) {
    m_ownedUi = new CSystemInstallUi();
    this->ui = m_ownedUi;
  }
  m_installPath.clear();
  engine = new CSorrelInstall(*this, *this->ui, packageModule);
  desktopShortcut = 1;
  openAfterInstall = 1;
  workerThread = NULL;
}

SetupContext::~SetupContext() {
  delete engine;
  engine = NULL;
  delete m_ownedUi;
}

void SetupContext::SetInstallPath(const std::string& path) {
  m_installPath = path;
  if (!m_installPath.empty() && m_installPath[m_installPath.size() - 1] == '\\')
    m_installPath.erase(m_installPath.size() - 1);
}

std::string SetupContext::GetInstallPath() const { return m_installPath; }

unsigned __stdcall WorkerThreadProc(void* context) {
  SetupContext* setup = static_cast<SetupContext*>(context);
  if (!setup || setup->currentPage != kPageProgress || !setup->engine) return 0;
  setup->engine->RunInstall();
  return 1;
}
