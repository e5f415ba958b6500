#include "services/Spliter.h"

#include <cstring>

Spliter::~Spliter() { m_pieces.clear(); }

void Spliter::SplitText(const char* text) {
  m_pieces.clear();
  if (!text) return;
  // Pieces are copied by length, so a piece longer than 511 bytes is kept
  // whole instead of overrunning a fixed buffer.
  const char* start = text;
  for (const char* dot = strchr(start, '.'); dot; dot = strchr(start, '.')) {
    m_pieces.push_back(std::string(start, dot));
    start = dot + 1;
  }
  m_pieces.push_back(std::string(start));
}
