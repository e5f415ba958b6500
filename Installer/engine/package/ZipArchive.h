// The zip layer: a ZIP archive read in place from a memory block (never
// copied), over minizip. Portable C++: no windows.h. Every operation answers
// a result code, 0 for success.
#pragma once
#include <cstddef>
#include <cstdint>

enum ZipResult : unsigned {
  ZR_OK = 0,
  ZR_NOFILE = 0x200,       // the output file cannot be created
  ZR_WRITE = 0x400,        // writing the output file failed
  ZR_PASSWORD = 0x1000,    // the member is encrypted and its password check fails
  ZR_ARGS = 0x10000,       // no archive handle, an index beyond the last member, bad arguments
  ZR_NOTFORREAD = 0x80000, // the handle was not opened for reading
  ZR_FLATE = 0x5000000,    // decompression failed (a CRC mismatch included)
};

struct ZipArchive;  // opaque
typedef ZipArchive* HZIP;

enum { kZipMemberNameMax = 260 };

struct ZipMember {
  int index;
  char name[kZipMemberNameMax + 1];  // as stored in the archive, NUL-terminated
  uint64_t uncompressedSize;
  uint64_t compressedSize;
  bool deflated;     // false: stored
  bool isDirectory;  // the name ends in "/" or "\"
};

// Opens the archive over data[0..size); the bytes must outlive the handle.
unsigned OpenZipMemory(const void* data, size_t size, HZIP* archive);
// Later file extractions go below dir; a separator is appended when missing.
unsigned SetUnzipBaseDir(HZIP archive, const char* dir);
unsigned GetZipMember(HZIP archive, int index, ZipMember* member);
// Writes the member's bytes into buffer; ZR_ARGS when it does not fit.
unsigned UnzipMemberToMemory(HZIP archive, int index, void* buffer, size_t length);
// Writes the member to base directory + fileName, replacing an existing file
// and making missing directories. A name that would land outside the base
// directory (absolute, drive letter, "." or ".." segment) is refused (ZR_NOFILE).
unsigned UnzipMemberToFile(HZIP archive, int index, const char* fileName);
unsigned CloseZip(HZIP archive);
