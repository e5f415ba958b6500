#include "services/FileProbe.h"

#include <windows.h>

int PathExists(const char* path) {
  if (!path || !*path) return 0;
  return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
}

int PathIsDirectory(const char* path) {
  if (!path || !*path) return 0;
  DWORD attrs = GetFileAttributesA(path);
  return (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) ? 1 : 0;
}
