// Whole-buffer decoding of the LZMA SDK's Lzma86 format (filter byte,
// properties, dictionary size, 64-bit unpacked size, LZMA stream).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

enum Lzma86Result {
  LZMA86_OK = 0,
  LZMA86_BAD_DATA = 2,  // invalid filter or properties byte, corrupt stream, no memory
  LZMA86_NO_SIZE = 3,   // shorter than the header, upper size bytes set, or size zero
};

enum { kLzma86HeaderSize = 14 };

// The unpacked size from the header, or LZMA86_NO_SIZE.
int Lzma86UnpackedSize(const uint8_t* data, size_t length, uint64_t* size);
// Decodes the whole file; out holds exactly the unpacked size on success.
int Lzma86DecodeBuffer(const uint8_t* data, size_t length, std::vector<uint8_t>* out);
