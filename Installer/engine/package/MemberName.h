// Package member names: tag "x86"/"x64", "_", path with "_" for separators,
// optional ".zip". GBK-aware: a trail byte is never taken for "_" or "\".
#pragma once
#include <string>

// Lead-byte test of the code page the names are in.
typedef bool (*LeadByteTest)(unsigned char byte);
bool IsGbkLeadByte(unsigned char byte);  // 0x81..0xFE

// The first three characters (the whole name when shorter) equal tag, in any case.
bool MemberHasTag(const char* name, const char* tag);

// Relative path of the final file, with "\" separators: tag removed, every "_"
// a "\", one leading "\" dropped, a trailing lower-case ".zip" dropped.
// False, and nothing to write, for a path that is absolute, carries a drive
// letter (any ":"), or has an empty, "." or ".." segment.
bool MemberRelativePath(const char* name, std::string* relative,
                        LeadByteTest isLead = IsGbkLeadByte);

// A path that stays below the directory it is appended to: not empty, no
// leading separator, no ":", no empty, "." or ".." segment; "\" and "/" both
// separate. Separators are found at character boundaries only.
bool IsSafeRelativePath(const char* path, LeadByteTest isLead = IsGbkLeadByte);

// Member name for a file: tag + "_" + path with separators as "_" (+ ".zip").
// relative may use "/" or "\" separators. False when a path segment itself
// contains "_", the path is unsafe, or the name would not map back to the
// same path (e.g. a name ending in ".zip" without the suffix).
bool MakeMemberName(const char* tag, const std::string& relative, bool zipSuffix,
                    std::string* name);
