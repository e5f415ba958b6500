#include "services/CharStep.h"

#include <windows.h>

const char* NextCharA(const char* p) {
  if (*p == '\0') return p;
  // A lead byte followed by the terminator is a broken character: step one.
  if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != '\0') return p + 2;
  return p + 1;
}

const char* FindCharA(const char* text, char c) {
  for (const char* p = text; *p; p = NextCharA(p))
    if (*p == c) return p;
  return nullptr;
}

const char* FindLastCharA(const char* text, char c) {
  const char* last = nullptr;
  for (const char* p = text; *p; p = NextCharA(p))
    if (*p == c) last = p;
  return last;
}

static char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

int EqualNoCaseA(const char* a, const char* b) {
  while (*a && *b) {
    const char* na = NextCharA(a);
    const char* nb = NextCharA(b);
    if (na - a != nb - b) return 0;
    if (na - a == 1) {
      if (FoldAscii(*a) != FoldAscii(*b)) return 0;
    } else if (a[0] != b[0] || a[1] != b[1]) {
      return 0;
    }
    a = na;
    b = nb;
  }
  return *a == '\0' && *b == '\0';
}
