// File helpers over the C runtime, shared by the zip layer and the package
// tool. Paths are byte strings (GBK on Windows, where fopen takes ANSI paths);
// outside Windows every "\" is taken as "/".
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The path for the C runtime: "\" becomes "/" outside Windows (stepping by
// GBK characters, so a trail byte 0x5C stays); unchanged on Windows.
std::string NativePath(const std::string& path);
// Makes every missing directory of dir ("\" or "/" separated). True when dir
// exists afterwards.
bool MakeDirectories(const std::string& dir);
// Makes the missing directories before the last separator of path.
bool MakeParentDirectories(const std::string& path);
// True when the last character (stepping by GBK characters) is "\" or "/".
bool EndsWithSeparator(const std::string& path);
bool IsDirectory(const std::string& path);
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* data);
// Creates or replaces path. False when it cannot be created or written.
bool WriteWholeFile(const std::string& path, const void* data, size_t size);
bool RemoveFile(const std::string& path);
// The process's current directory, with a trailing separator.
std::string CurrentDirectory();
