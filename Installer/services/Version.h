// Dotted version texts packed into one comparable number.
#pragma once

// a.b.c.d -> a<<24 | b<<16 | c<<8 | d, each part cut to its lowest 8 bits;
// missing parts count 0, parts after the fourth are ignored; null or empty 0.
unsigned long PackVersion(const char* text);
