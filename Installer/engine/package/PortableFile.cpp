#include "package/PortableFile.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdio>

#ifdef _WIN32
#include <direct.h>
#else
#include <unistd.h>
#endif

#include "package/MemberName.h"

namespace {

bool IsSep(char c) { return c == '\\' || c == '/'; }

// Offsets of the separators of path, found at GBK character boundaries.
std::vector<size_t> SeparatorOffsets(const std::string& path) {
  std::vector<size_t> out;
  for (size_t i = 0; i < path.size();) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (IsGbkLeadByte(c) && i + 1 < path.size()) {
      i += 2;
      continue;
    }
    if (IsSep(path[i])) out.push_back(i);
    ++i;
  }
  return out;
}

int MakeOneDirectory(const std::string& dir) {
#ifdef _WIN32
  return _mkdir(dir.c_str());
#else
  return mkdir(dir.c_str(), 0777);
#endif
}

}  // namespace

std::string NativePath(const std::string& path) {
#ifdef _WIN32
  return path;
#else
  std::string out = path;
  for (size_t at : SeparatorOffsets(path)) out[at] = '/';
  return out;
#endif
}

bool EndsWithSeparator(const std::string& path) {
  std::vector<size_t> seps = SeparatorOffsets(path);
  return !seps.empty() && seps.back() == path.size() - 1;
}

bool IsDirectory(const std::string& path) {
  // The Windows C runtime's stat refuses a trailing separator (except at a root).
  std::string trimmed = path;
  while (trimmed.size() > 1 && IsSep(trimmed.back()) && trimmed[trimmed.size() - 2] != ':' &&
         SeparatorOffsets(trimmed).back() == trimmed.size() - 1)
    trimmed.pop_back();
  struct stat st;
  if (stat(NativePath(trimmed).c_str(), &st) != 0) return false;
  return (st.st_mode & S_IFMT) == S_IFDIR;
}

bool MakeDirectories(const std::string& dir) {
  std::string native = NativePath(dir);
  // Every prefix ending before a separator, then the whole path; failures of
  // levels that exist already (or cannot be made, like "C:") are ignored.
  for (size_t at : SeparatorOffsets(dir)) {
    if (at == 0) continue;
    if (IsSep(dir[at - 1])) continue;
    MakeOneDirectory(native.substr(0, at));
  }
  if (!dir.empty() && !IsSep(dir.back())) MakeOneDirectory(native);
  return IsDirectory(dir);
}

bool MakeParentDirectories(const std::string& path) {
  std::vector<size_t> seps = SeparatorOffsets(path);
  if (seps.empty()) return true;
  return MakeDirectories(path.substr(0, seps.back()));
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* data) {
  if (data == nullptr) return false;
  data->clear();
  FILE* f = std::fopen(NativePath(path).c_str(), "rb");
  if (f == nullptr) return false;
  bool ok = true;
  uint8_t chunk[65536];
  for (;;) {
    size_t n = std::fread(chunk, 1, sizeof chunk, f);
    data->insert(data->end(), chunk, chunk + n);
    if (n < sizeof chunk) {
      ok = std::ferror(f) == 0;
      break;
    }
  }
  std::fclose(f);
  return ok;
}

bool WriteWholeFile(const std::string& path, const void* data, size_t size) {
  FILE* f = std::fopen(NativePath(path).c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
  if (std::fclose(f) != 0) ok = false;
  return ok;
}

bool RemoveFile(const std::string& path) { return std::remove(NativePath(path).c_str()) == 0; }

std::string CurrentDirectory() {
  char buffer[4096];
#ifdef _WIN32
  if (_getcwd(buffer, sizeof buffer) == nullptr) return std::string();
  std::string dir = buffer;
  if (!dir.empty() && !IsSep(dir.back())) dir += '\\';
#else
  if (getcwd(buffer, sizeof buffer) == nullptr) return std::string();
  std::string dir = buffer;
  if (!dir.empty() && !IsSep(dir.back())) dir += '/';
#endif
  return dir;
}
