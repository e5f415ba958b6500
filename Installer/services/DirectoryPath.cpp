#include "services/DirectoryPath.h"

#include <windows.h>

#include <string>
#include <vector>

#include "services/CharStep.h"
#include "services/FileProbe.h"

int CreateDirectoryPath(const char* path) {
  if (!path || !*path) return 0;
  if (PathExists(path)) return 1;

  std::string copy(path);
  if (FindLastCharA(copy.c_str(), '\\') != copy.c_str() + copy.size() - 1) copy += '\\';

  // Record the prefix before every backslash; stepping by characters keeps
  // a GBK trail byte 0x5C from splitting a name into an extra level.
  std::vector<std::string> levels;
  const char* start = copy.c_str();
  for (const char* p = start; *p; p = NextCharA(p)) {
    if (*p == '\\') levels.push_back(std::string(start, p));
  }

  BOOL lastCreated = FALSE;
  for (size_t i = 0; i < levels.size(); ++i) {
    lastCreated = levels[i].empty() ? FALSE : CreateDirectoryA(levels[i].c_str(), nullptr);
  }
  return lastCreated ? 1 : 0;
}
