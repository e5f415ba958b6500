#include "package/PackageDescriptor.h"

#include <climits>
#include <cstring>
#include <vector>

namespace {

unsigned ParseUnsignedPrefix(const std::string& text) {
  unsigned long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<unsigned>(c - '0');
    if (value > UINT_MAX) return UINT_MAX;  // saturate like strtoul
  }
  return static_cast<unsigned>(value);
}

}  // namespace

bool ParseDescriptor(const char* data, size_t size, PackageDescriptor* out) {
  if (out == nullptr) return false;
  *out = PackageDescriptor();
  if (data == nullptr) return false;

  std::vector<std::string> fields;
  size_t pos = 0;
  while (pos < size && fields.size() < kDescriptorFieldCount) {
    const void* nul = std::memchr(data + pos, '\0', size - pos);
    if (nul == nullptr) break;  // an unterminated tail is not a field
    size_t end = static_cast<size_t>(static_cast<const char*>(nul) - data);
    fields.emplace_back(data + pos, end - pos);
    pos = end + 1;
  }
  if (fields.size() < kDescriptorFieldCount) return false;

  out->machineTypes = fields[0];
  out->lastMemberIndex = ParseUnsignedPrefix(fields[1]);
  out->version = fields[2];
  out->type = fields[3];
  out->productId = fields[4];
  out->versionNumber = fields[5];
  out->packetName = fields[6];
  out->productName = fields[7];
  out->agreementText = fields[8];
  // The flag is the string that begins two bytes before the end: set exactly
  // when the descriptor ends in "1" and its NUL.
  out->installDlp = (size >= 2 && data[size - 2] == '1' && data[size - 1] == '\0') ? 1 : 0;
  return true;
}
