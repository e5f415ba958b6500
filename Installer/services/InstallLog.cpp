#include "services/InstallLog.h"

#include <shlobj.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "services/DirectoryPath.h"

namespace {

// The process-wide writer: decided by the first call, closed at exit.
bool g_logInitialised = false;
HANDLE g_logFile = INVALID_HANDLE_VALUE;

void CloseLogFile() {
  if (g_logFile != INVALID_HANDLE_VALUE) {
    CloseHandle(g_logFile);
    g_logFile = INVALID_HANDLE_VALUE;
  }
}

void OpenLogFile() {
  time_t now = time(nullptr);
  struct tm* local = localtime(&now);
  if (!local) return;
  int year = local->tm_year + 1900, month = local->tm_mon + 1, day = local->tm_mday;

  char appData[MAX_PATH] = {0};
  if (!SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, FALSE)) return;

  std::string dir, file;
  BuildLogPaths(appData, year, month, day, dir, file);
  g_logFile = OpenLogFileAt(dir.c_str(), file.c_str());
}

// Formats into a buffer of whatever size the message needs; copes with both
// the C99 and the old msvcrt answer of vsnprintf to a short buffer.
std::string FormatMessageText(const char* format, va_list args) {
  std::vector<char> buffer(256);
  for (;;) {
    va_list copy;
    va_copy(copy, args);
    int n = vsnprintf(buffer.data(), buffer.size(), format, copy);
    va_end(copy);
    if (n >= 0 && static_cast<size_t>(n) < buffer.size()) return std::string(buffer.data(), n);
    size_t next = n >= 0 ? static_cast<size_t>(n) + 1 : buffer.size() * 2;
    if (next > (64u << 20)) return std::string();  // give up on absurd sizes
    buffer.resize(next);
  }
}

}  // namespace

void BuildLogPaths(const char* appData, int year, int month, int day,
                   std::string& dir, std::string& file) {
  std::string base(appData ? appData : "");
  if (!base.empty() && base[base.size() - 1] == '\\') base.erase(base.size() - 1);
  dir = base + "\\Vantrel\\Install\\Log";
  char name[32];
  wsprintfA(name, "\\%04d%02d%02d.log", year, month, day);
  file = dir + name;
}

HANDLE OpenLogFileAt(const char* dir, const char* file) {
  CreateDirectoryPath(dir);
  SECURITY_ATTRIBUTES sa;
  sa.nLength = sizeof(sa);
  sa.lpSecurityDescriptor = nullptr;
  sa.bInheritHandle = TRUE;
  // No sharing: a second setup running at the same time writes no log.
  return CreateFileA(file, GENERIC_WRITE, 0, &sa, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void WriteLogLine(HANDLE file, const char* text, size_t length) {
  if (file == INVALID_HANDLE_VALUE || file == nullptr) return;
  SetFilePointer(file, 0, nullptr, FILE_END);
  DWORD written = 0;
  // A failed write (full disk) drops the line; the setup goes on.
  if (length) WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
  WriteFile(file, "\n", 1, &written, nullptr);
}

void AppendLogLine(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string message = FormatMessageText(format ? format : "", args);
  va_end(args);

  if (!g_logInitialised) {
    g_logInitialised = true;
    OpenLogFile();
    atexit(CloseLogFile);
  }
  WriteLogLine(g_logFile, message.data(), message.size());
}
