#include "package/Lzma86.h"

#include <new>

#include <Lzma86.h>  // the LZMA SDK's header, not package/Lzma86.h

int Lzma86UnpackedSize(const uint8_t* data, size_t length, uint64_t* size) {
  if (size != nullptr) *size = 0;
  if (data == nullptr || size == nullptr) return LZMA86_NO_SIZE;
  UInt64 unpacked = 0;
  if (Lzma86_GetUnpackSize(data, length, &unpacked) != SZ_OK) return LZMA86_NO_SIZE;
  if ((unpacked >> 32) != 0 || unpacked == 0) return LZMA86_NO_SIZE;
  *size = unpacked;
  return LZMA86_OK;
}

int Lzma86DecodeBuffer(const uint8_t* data, size_t length, std::vector<uint8_t>* out) {
  if (out == nullptr) return LZMA86_BAD_DATA;
  out->clear();
  uint64_t unpacked = 0;
  int code = Lzma86UnpackedSize(data, length, &unpacked);
  if (code != LZMA86_OK) return code;
  if (unpacked > static_cast<uint64_t>(static_cast<SizeT>(-1))) return LZMA86_BAD_DATA;
  try {
    out->resize(static_cast<size_t>(unpacked));
  } catch (const std::bad_alloc&) {
    return LZMA86_BAD_DATA;
  }
  SizeT destLen = static_cast<SizeT>(unpacked);
  SizeT srcLen = length;
  SRes res = Lzma86_Decode(out->data(), &destLen, data, &srcLen);
  if (res != SZ_OK || destLen != static_cast<SizeT>(unpacked)) {
    out->clear();
    out->shrink_to_fit();
    return LZMA86_BAD_DATA;
  }
  return LZMA86_OK;
}
