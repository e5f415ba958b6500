#include "services/TextConvert.h"

#include <windows.h>

#include <vector>

bool AnsiToWide(std::wstring& out, const char* text, int count) {
  if (!text) return false;
  int length = MultiByteToWideChar(CP_ACP, 0, text, count, nullptr, 0);
  if (length <= 0) return false;
  std::vector<wchar_t> buffer(length);
  if (MultiByteToWideChar(CP_ACP, 0, text, count, buffer.data(), length) != length) return false;
  out.assign(buffer.data(), length);
  return true;
}

bool WideToAnsi(std::string& out, const wchar_t* text, int count) {
  if (!text) return false;
  int length = WideCharToMultiByte(CP_ACP, 0, text, count, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return false;
  std::vector<char> buffer(length);
  if (WideCharToMultiByte(CP_ACP, 0, text, count, buffer.data(), length, nullptr, nullptr) != length)
    return false;
  out.assign(buffer.data(), length);
  return true;
}
