// Small helpers shared by the engine's source files, and the system services
// the engine calls.
#pragma once
#include <windows.h>
#include <string>

#include "EngineServices.h"

namespace engine {

// Registry keys the run writes and the next setup reads.
extern const char kProductKey[];
extern const char kUninstallKey[];
extern const char kProductDisplayName[];  // "Korvo邮箱网盘"
extern const char kRunningMessage[];
extern const char kBadPackageMessage[];

bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);
// dir + "\" + name, without a doubled backslash.
std::string JoinPath(const std::string& dir, const char* name);
// The directory part of a path (up to its last backslash), or empty.
std::string ParentDirectory(const std::string& path);
// A shell folder's path (not created), or empty.
std::string SpecialFolder(int csidl);
// "x64" on a natively 64-bit machine, else "x86"; worked out once per process.
const char* MachineTag();
// Reads a REG_SZ value of the product key; empty when it cannot be read.
bool ReadProductValue(const char* name, std::string* value);

}  // namespace engine
