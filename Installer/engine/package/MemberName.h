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
// letter, or has an empty, "." or ".." segment.
bool MemberRelativePath(const char* name, std::string* relative,
                        LeadByteTest isLead = IsGbkLeadByte);

// Member name for a file: tag + "_" + path with separators as "_" (+ ".zip").
// False when a path segment itself contains "_".
bool MakeMemberName(const char* tag, const std::string& relative, bool zipSuffix,
                    std::string* name);
