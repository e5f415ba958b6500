// Helpers of the native tests: scratch directories, files, running pkgtool.
#pragma once
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace testutil {

namespace fs = std::filesystem;

// A fresh directory, removed with its content at the end of the scope.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "pkgtest.XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    char* made = mkdtemp(buf.data());
    path_ = made ? made : "";
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

 private:
  std::string path_;
};

inline std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& data) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}
inline void WriteFile(const std::string& path, const std::string& text) { WriteFile(path, Bytes(text)); }

inline std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Pseudo-random bytes (hardly compressible).
inline std::vector<uint8_t> Noise(size_t size, uint32_t seed) {
  std::vector<uint8_t> out(size);
  for (size_t i = 0; i < size; ++i) {
    seed = seed * 1664525u + 1013904223u;
    out[i] = static_cast<uint8_t>(seed >> 24);
  }
  return out;
}

// x86 code in the small: calls to a few fixed targets, which the x86 filter
// turns into repeated absolute addresses.
inline std::vector<uint8_t> X86Like(size_t size, uint32_t seed) {
  std::vector<uint8_t> out;
  while (out.size() < size) {
    seed = seed * 1664525u + 1013904223u;
    if ((seed >> 16) % 3 == 0) {
      uint32_t target = 0x4000 + ((seed >> 20) % 4) * 0x100;
      uint32_t rel = target - static_cast<uint32_t>(out.size() + 5);
      out.push_back(0xE8);
      for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(rel >> (8 * i)));
    } else {
      const uint8_t op[] = {0x55, 0x8B, 0xEC, static_cast<uint8_t>(seed >> 8)};
      out.insert(out.end(), op, op + 4);
    }
  }
  out.resize(size);
  return out;
}

// A PE header that passes or fails the helper check: machine, characteristics.
inline std::vector<uint8_t> FakePe(uint16_t machine, uint16_t characteristics) {
  std::vector<uint8_t> b(1024, 0);
  b[0] = 'M';
  b[1] = 'Z';
  b[0x3C] = 0x80;
  std::memcpy(&b[0x80], "PE\0\0", 4);
  b[0x84] = machine & 0xFF;
  b[0x85] = machine >> 8;
  b[0x80 + 22] = characteristics & 0xFF;
  b[0x80 + 23] = characteristics >> 8;
  for (size_t i = 0x200; i < b.size(); ++i) b[i] = static_cast<uint8_t>(i * 7);
  return b;
}

struct RunResult {
  int exitCode = -1;   // -1: did not exit normally (a crash)
  std::string output;  // stdout
  std::string errors;  // stderr
};

inline std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'') q += "'\\''";
    else q += c;
  }
  return q + "'";
}

inline RunResult RunTool(const std::vector<std::string>& args) {
  TempDir io;
  std::string cmd;
  for (const std::string& a : args) cmd += Quote(a) + " ";
  cmd += ">" + Quote(io / "out") + " 2>" + Quote(io / "err");
  int status = std::system(cmd.c_str());
  RunResult r;
  if (status != -1 && WIFEXITED(status)) r.exitCode = WEXITSTATUS(status);
  std::vector<uint8_t> o = ReadFile(io / "out"), e = ReadFile(io / "err");
  r.output.assign(o.begin(), o.end());
  r.errors.assign(e.begin(), e.end());
  return r;
}

inline size_t LineCount(const std::string& text) {
  size_t n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

}  // namespace testutil
