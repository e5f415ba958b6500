#include "services/Version.h"

#include <cstdlib>
#include <new>

#include "services/Spliter.h"

unsigned long PackVersion(const char* text) {
  if (!text || !*text) return 0;
  try {
    Spliter spliter;
    spliter.SplitText(text);
    unsigned long parts[4] = {0, 0, 0, 0};
    for (size_t i = 0; i < 4 && i < spliter.m_pieces.size(); ++i)
      parts[i] = static_cast<unsigned long>(atoi(spliter.m_pieces[i].c_str())) & 0xFF;
    return (parts[0] << 24) | (parts[1] << 16) | (parts[2] << 8) | parts[3];
  } catch (const std::bad_alloc&) {
    return 0;
  }
}
