// Conversion between the ANSI code page and UTF-16.
#pragma once
#include <string>

// count: bytes / code units of the input; a terminator is converted only if
// counted. true converted; false and out untouched otherwise.
bool AnsiToWide(std::wstring& out, const char* text, int count);
bool WideToAnsi(std::string& out, const wchar_t* text, int count);
