// The free-space line of the install options page.
#pragma once
#include <string>

// Measures the drive of dir (the callers pass its root) and fills text; sets
// warning when 30 MiB or less are free, or when the free space is unknown.
// warning is otherwise left as it was.
void FormatDiskSpace(const char* dir, std::string& text, std::string& warning);

// The same texts for a known number of free bytes.
void FormatDiskSpaceText(unsigned long long freeBytes, std::string& text, std::string& warning);

// The texts when the free space cannot be determined.
void FormatDiskSpaceUnknown(std::string& text, std::string& warning);
