// Stepping through ANSI-code-page byte strings one character at a time, so
// that a trail byte of a double-byte character (GBK allows 0x5C '\' and
// 0x7C '|' there) is never taken for a separator.
#pragma once

// The character after the one at p (p itself at the terminator).
const char* NextCharA(const char* p);

// First / last occurrence of the single-byte character c, or nullptr.
const char* FindCharA(const char* text, char c);
const char* FindLastCharA(const char* text, char c);

// Whole-string comparison, ASCII letters folded, double-byte characters
// compared exactly: 1 equal, 0 not.
int EqualNoCaseA(const char* a, const char* b);
