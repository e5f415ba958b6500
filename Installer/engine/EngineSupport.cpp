#include "EngineSupport.h"

#include <shlobj.h>

#include <cstring>

namespace engine {

const char kProductKey[] = "Software\\VanTrel\\MailKorvo_Disk";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MailKorvo_Disk";
const char kProductDisplayName[] = "Korvo邮箱网盘";
const char kRunningMessage[] = "您的Korvo邮箱网盘正在运行，请退出Korvo邮箱网盘后重试!";
const char kBadPackageMessage[] = "安装包数据有误!";

bool PathExists(const std::string& path) {
  return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::string& path) {
  if (path.empty()) return false;
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {
// Last byte is a real backslash, not the trail byte of a double-byte character.
bool EndsWithBackslash(const std::string& s) {
  if (s.empty()) return false;
  const char* p = s.c_str();
  const char* last = NULL;
  while (*p) {
    last = p;
    p = CharNextExA(CP_ACP, p, 0);
    if (p == last) break;
  }
  return last && *last == '\\' && last + 1 == s.c_str() + s.size();
}
}  // namespace

std::string JoinPath(const std::string& dir, const char* name) {
  std::string out = dir;
  if (!EndsWithBackslash(out)) out += '\\';
  out += name;
  return out;
}

std::string ParentDirectory(const std::string& path) {
  const char* start = path.c_str();
  const char* lastSlash = NULL;
  for (const char* p = start; *p;) {
    if (*p == '\\') lastSlash = p;
    const char* next = CharNextExA(CP_ACP, p, 0);
    if (next == p) break;
    p = next;
  }
  return lastSlash ? std::string(start, lastSlash - start) : std::string();
}

std::string SpecialFolder(int csidl) {
  char buffer[MAX_PATH] = {0};
  if (!SHGetSpecialFolderPathA(NULL, buffer, csidl, FALSE)) return std::string();
  return buffer;
}

const char* MachineTag() {
  // Set on first use; the answer never changes, so a race only repeats the query.
  static volatile LONG cached = -1;
  if (cached < 0) InterlockedExchange(&cached, IsNative64BitOS() ? 1 : 0);
  return cached ? "x64" : "x86";
}

bool ReadProductValue(const char* name, std::string* value) {
  char buffer[1024];
  memset(buffer, 0, sizeof(buffer));
  DWORD size = sizeof(buffer);
  value->clear();
  if (!RegReadMachineValue(kProductKey, name, buffer, &size)) return false;
  buffer[sizeof(buffer) - 1] = '\0';
  *value = buffer;
  return true;
}

}  // namespace engine
