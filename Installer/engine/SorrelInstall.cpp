// The engine object: construction, the journal of created paths and the
// write gate that AbandonInstall closes.
#include "SorrelInstall.h"

#include <algorithm>

#include "EngineSupport.h"
#include "InstallUi.h"
#include "SetupContext.h"

using namespace engine;

CSorrelInstall::CSorrelInstall(const SetupContext& context, IInstallUi& ui, HMODULE packageModule)
    : m_package(NULL),
      m_packageResource(NULL),
      m_helperLibrary(NULL),
      m_installDlpClient(0),
      m_lastMemberIndex(0),
      m_firstProductMemberIndex(0),
      m_context(context),
      m_ui(ui),
      m_packageModule(packageModule),
      m_packageUsable(false),
      m_abandoning(0),
      m_writing(0) {
  InitializeCriticalSection(&m_journalLock);
}

CSorrelInstall::~CSorrelInstall() {
  if (m_package) CloseZip(m_package);
  m_package = NULL;
  DeleteCriticalSection(&m_journalLock);
}

std::string CSorrelInstall::InstallDirWithSlash() const {
  return JoinPath(m_context.GetInstallPath(), "");
}

bool CSorrelInstall::BeginWrite() {
  if (m_abandoning) return false;
  InterlockedExchange(&m_writing, 1);
  // Checked again after announcing the write: AbandonInstall sets its flag
  // before it looks at m_writing, so one of the two sides always sees the other.
  if (m_abandoning) {
    InterlockedExchange(&m_writing, 0);
    return false;
  }
  return true;
}

void CSorrelInstall::EndWrite() { InterlockedExchange(&m_writing, 0); }

void CSorrelInstall::JournalCreatedFile(const std::string& path) {
  EnterCriticalSection(&m_journalLock);
  m_createdFiles.push_back(path);
  LeaveCriticalSection(&m_journalLock);
}

void CSorrelInstall::CreateDirectoryJournaled(const std::string& path) {
  if (path.empty() || PathExists(path)) return;
  // The levels that are missing now, outermost first.
  std::vector<std::string> missing;
  for (std::string level = path; !level.empty() && !PathExists(level); level = ParentDirectory(level)) {
    missing.push_back(level);
    if (ParentDirectory(level) == level) break;
  }
  CreateDirectoryPath(path.c_str());
  EnterCriticalSection(&m_journalLock);
  for (size_t i = missing.size(); i-- > 0;)
    if (IsDirectory(missing[i])) m_createdDirectories.push_back(missing[i]);
  LeaveCriticalSection(&m_journalLock);
}

void CSorrelInstall::RemoveCreatedPaths() {
  EnterCriticalSection(&m_journalLock);
  std::vector<std::string> files = m_createdFiles;
  std::vector<std::string> directories = m_createdDirectories;
  LeaveCriticalSection(&m_journalLock);
  for (size_t i = 0; i < files.size(); ++i) {
    SetFileAttributesA(files[i].c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(files[i].c_str());
  }
  // Innermost first; a directory that still holds something (a file that was
  // there before the run) stays.
  for (size_t i = directories.size(); i-- > 0;) RemoveDirectoryA(directories[i].c_str());
}
