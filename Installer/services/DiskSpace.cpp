#include "services/DiskSpace.h"

#include <windows.h>

#include <cstdio>

namespace {
const int kRequiredMB = 30;
const char kLowSpaceWarning[] = "磁盘空间不足，请重新选择";
}  // namespace

void FormatDiskSpaceText(unsigned long long freeBytes, std::string& text, std::string& warning) {
  char line[128];
  double gb = static_cast<double>(freeBytes) / 1024.0 / 1024.0 / 1024.0;
  snprintf(line, sizeof(line), "所需空间:%dMB    可用空间:%4.2fGB", kRequiredMB, gb);
  text = line;
  if (freeBytes / 1024 / 1024 <= static_cast<unsigned long long>(kRequiredMB)) warning = kLowSpaceWarning;
}

void FormatDiskSpaceUnknown(std::string& text, std::string& warning) {
  char line[128];
  snprintf(line, sizeof(line), "所需空间:%dMB    可用空间:未知", kRequiredMB);
  text = line;
  // Unknown space cannot be trusted to be enough: ask for another choice.
  warning = kLowSpaceWarning;
}

void FormatDiskSpace(const char* dir, std::string& text, std::string& warning) {
  ULARGE_INTEGER available, total, totalFree;
  if (!dir || !GetDiskFreeSpaceExA(dir, &available, &total, &totalFree)) {
    FormatDiskSpaceUnknown(text, warning);
    return;
  }
  // The drive's whole free space, not the caller's quota share.
  FormatDiskSpaceText(totalFree.QuadPart, text, warning);
}
