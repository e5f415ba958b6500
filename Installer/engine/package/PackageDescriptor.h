// config.dat: NUL-terminated GBK strings, one field after the other.
#pragma once
#include <cstddef>
#include <string>

struct PackageDescriptor {
  std::string machineTypes;    // field 0, e.g. "x86_x64"
  unsigned lastMemberIndex = 0;  // field 1
  std::string version;         // field 2
  std::string type;            // field 3
  std::string productId;       // field 4 (the engine replaces it)
  std::string versionNumber;   // field 5
  std::string packetName;      // field 6
  std::string productName;     // field 7
  std::string agreementText;   // field 8
  int installDlp = 0;          // 1 when the string two bytes before the end is "1"
};

enum { kDescriptorFieldCount = 23 };

// Reads never past data[size). False when the descriptor holds fewer than
// kDescriptorFieldCount NUL-terminated fields: the package is unusable.
bool ParseDescriptor(const char* data, size_t size, PackageDescriptor* out);
