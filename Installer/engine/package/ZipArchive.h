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
  ZR_NOTFORREAD = 0x80000, // the handle was not opened for reading (every handle
                           // this layer gives out is; kept for the code table)
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
// The base directory starts as the process's current directory. Failure:
// non-zero (ZR_ARGS) and *archive null.
unsigned OpenZipMemory(const void* data, size_t size, HZIP* archive);
// Later file extractions go below dir; "\" is appended when it does not end
// in "\" or "/". An empty dir is refused (ZR_ARGS).
unsigned SetUnzipBaseDir(HZIP archive, const char* dir);
unsigned GetZipMember(HZIP archive, int index, ZipMember* member);
// Writes the member's bytes into buffer; ZR_ARGS when it does not fit.
unsigned UnzipMemberToMemory(HZIP archive, int index, void* buffer, size_t length);
// Writes the member to base directory + fileName, replacing an existing file
// and making missing directories; a directory member (name ending in a
// separator) only makes the directory base + fileName. A name that would land
// outside the base directory (absolute, any ":", empty, "." or ".." segment)
// is refused with ZR_NOFILE before anything is written. An encrypted member
// gives ZR_PASSWORD and no file; a member whose decompression or CRC check
// fails gives ZR_FLATE and leaves what was written in place.
// "\" and "/" both separate; outside Windows "\" is taken as "/".
unsigned UnzipMemberToFile(HZIP archive, int index, const char* fileName);
unsigned CloseZip(HZIP archive);
