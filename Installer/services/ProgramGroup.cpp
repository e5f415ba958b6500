#include "services/ProgramGroup.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdarg>
#include <string>

#include "services/CharStep.h"
#include "services/DeletePath.h"
#include "services/DirectoryPath.h"
#include "services/FileProbe.h"
#include "services/Shortcut.h"

namespace {

// The path of a Programs menu folder; false when the shell cannot name it
// (the caller then skips that menu rather than work at a drive root).
bool GetMenuFolder(int csidl, std::string& path) {
  LPITEMIDLIST item = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &item)) || !item) return false;
  char buffer[MAX_PATH] = {0};
  BOOL ok = SHGetPathFromIDListA(item, buffer);
  CoTaskMemFree(item);
  if (!ok || buffer[0] == '\0') return false;
  path = buffer;
  return true;
}

std::string ItemText(const char* item) {
  if (reinterpret_cast<ULONG_PTR>(item) <= 0xFFFF) {
    char buffer[1024] = {0};
    int n = LoadStringA(GetModuleHandleA(nullptr),
                        static_cast<UINT>(reinterpret_cast<ULONG_PTR>(item)), buffer, sizeof(buffer));
    return n > 0 ? std::string(buffer, n) : std::string();
  }
  return std::string(item);
}

}  // namespace

int CreateProgramGroup(const char* folder, ...) {
  std::string menu;
  if (!folder || !GetMenuFolder(CSIDL_PROGRAMS, menu)) return 0;
  std::string group = menu + "\\" + folder;
  if (!PathExists(group.c_str()) && !CreateDirectoryPath(group.c_str())) return 0;

  va_list items;
  va_start(items, folder);
  for (const char* item = va_arg(items, const char*); item; item = va_arg(items, const char*)) {
    std::string text = ItemText(item);
    if (text.empty()) continue;
    const char* bar = FindCharA(text.c_str(), '|');
    if (!bar) continue;
    std::string target(text.c_str(), bar);
    std::string link = group + "\\" + (bar + 1);
    CreateShortcut(link.c_str(), target.c_str());
  }
  va_end(items);

  SHChangeNotify(SHCNE_MKDIR | SHCNE_INTERRUPT, SHCNF_PATHA | SHCNF_FLUSH, group.c_str(), nullptr);
  const char* cut = FindLastCharA(group.c_str(), '\\');
  std::string parent = cut ? std::string(group.c_str(), cut) : group;
  SHChangeNotify(SHCNE_UPDATEDIR | SHCNE_INTERRUPT, SHCNF_PATHA | SHCNF_FLUSH, parent.c_str(), nullptr);
  return 1;
}

int RemoveProgramGroup(const char* folder) {
  if (!folder || !*folder) return 1;  // never the whole menu folder
  const int menus[] = {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS};
  for (int csidl : menus) {
    std::string menu;
    if (!GetMenuFolder(csidl, menu)) continue;
    std::string group = menu + "\\" + folder;
    DeletePathRecursive(group.c_str());
  }
  return 1;
}
