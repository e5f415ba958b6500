// Cutting a text at dots.
#pragma once
#include <string>
#include <vector>

class Spliter {
 public:
  virtual ~Spliter();

  // n dots give n + 1 pieces, empty ones included. A piece is kept whole
  // whatever its length.
  void SplitText(const char* text);

  std::vector<std::string> m_pieces;
};
