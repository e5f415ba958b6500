#include "package/MemberName.h"

#include <cstring>

bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

namespace {

// Length in bytes of the character at p: a lead byte followed by a non-NUL
// byte forms one double-byte character (as CharNextA steps).
size_t CharLength(const char* p, LeadByteTest isLead) {
  if (isLead(static_cast<unsigned char>(p[0])) && p[1] != '\0') return 2;
  return 1;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool MemberHasTag(const char* name, const char* tag) {
  if (name == nullptr || tag == nullptr) return false;
  // The first three characters of the name, stepping by characters.
  size_t end = 0;
  for (int chars = 0; chars < 3 && name[end] != '\0'; ++chars) end += CharLength(name + end, IsGbkLeadByte);
  if (std::strlen(tag) != end) return false;
  for (size_t i = 0; i < end; ++i) {
    unsigned char a = static_cast<unsigned char>(name[i]);
    // Double-byte characters compare exactly; single bytes without case.
    if (a >= 0x80 || static_cast<unsigned char>(tag[i]) >= 0x80) {
      if (name[i] != tag[i]) return false;
    } else if (AsciiLower(name[i]) != AsciiLower(tag[i])) {
      return false;
    }
  }
  return true;
}

bool IsSafeRelativePath(const char* path, LeadByteTest isLead) {
  if (path == nullptr || path[0] == '\0') return false;
  if (IsSeparator(path[0])) return false;
  const char* segment = path;
  const char* p = path;
  for (;;) {
    if (*p == '\0' || IsSeparator(*p)) {
      size_t len = static_cast<size_t>(p - segment);
      if (len == 0) return false;
      if (len == 1 && segment[0] == '.') return false;
      if (len == 2 && segment[0] == '.' && segment[1] == '.') return false;
      if (*p == '\0') return true;
      ++p;
      segment = p;
      continue;
    }
    if (*p == ':') return false;
    p += CharLength(p, isLead);
  }
}

bool MemberRelativePath(const char* name, std::string* relative, LeadByteTest isLead) {
  if (relative != nullptr) relative->clear();
  if (name == nullptr || relative == nullptr) return false;
  const char* p = name;
  for (int chars = 0; chars < 3 && *p != '\0'; ++chars) p += CharLength(p, isLead);

  std::string out;
  std::string boundaries;  // 1 where a character starts, for the ".zip" test
  while (*p != '\0') {
    size_t len = CharLength(p, isLead);
    boundaries.push_back(1);
    if (len == 1) {
      out.push_back(*p == '_' ? '\\' : *p);
    } else {
      boundaries.push_back(0);
      out.append(p, len);
    }
    p += len;
  }
  if (!out.empty() && out[0] == '\\') {
    out.erase(0, 1);
    boundaries.erase(0, 1);
  }
  static const char kZip[] = ".zip";
  const size_t zipLen = sizeof(kZip) - 1;
  if (out.size() >= zipLen && out.compare(out.size() - zipLen, zipLen, kZip) == 0 &&
      boundaries[out.size() - zipLen] == 1) {
    out.erase(out.size() - zipLen);
  }
  if (!IsSafeRelativePath(out.c_str(), isLead)) return false;
  *relative = out;
  return true;
}

bool MakeMemberName(const char* tag, const std::string& relative, bool zipSuffix,
                    std::string* name) {
  if (name != nullptr) name->clear();
  if (tag == nullptr || name == nullptr || std::strlen(tag) != 3) return false;
  if (!IsSafeRelativePath(relative.c_str())) return false;
  std::string out = std::string(tag) + "_";
  std::string expected;  // the relative path as the setup will map it back
  const char* p = relative.c_str();
  while (*p != '\0') {
    size_t len = CharLength(p, IsGbkLeadByte);
    if (len == 1) {
      if (*p == '_') return false;
      out.push_back(IsSeparator(*p) ? '_' : *p);
      expected.push_back(*p == '/' ? '\\' : *p);
    } else {
      out.append(p, len);
      expected.append(p, len);
    }
    p += len;
  }
  if (zipSuffix) out += ".zip";
  std::string back;
  if (!MemberRelativePath(out.c_str(), &back) || back != expected) return false;
  *name = out;
  return true;
}
