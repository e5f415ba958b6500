#include "services/DeletePath.h"

#include <windows.h>

#include <cstring>
#include <string>

int DeletePathRecursive(const char* path) {
  if (!path || !*path) return 0;
  DWORD attrs = GetFileAttributesA(path);
  if (attrs == INVALID_FILE_ATTRIBUTES) return 0;

  SetFileAttributesA(path, attrs & ~FILE_ATTRIBUTE_READONLY);
  if (!(attrs & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileA(path) ? 1 : 0;

  // A directory link: following it would empty a directory that lives
  // elsewhere (possibly the user's data); remove only the link.
  if (attrs & FILE_ATTRIBUTE_REPARSE_POINT) return RemoveDirectoryA(path) ? 1 : 0;

  std::string base(path);
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((base + "\\*.*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    if (strcmp(entry.cFileName, ".") == 0 || strcmp(entry.cFileName, "..") == 0) continue;
    DeletePathRecursive((base + "\\" + entry.cFileName).c_str());
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return RemoveDirectoryA(path) ? 1 : 0;
}
