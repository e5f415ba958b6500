#include "package/ZipArchive.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <unzip.h>

#include "package/MemberName.h"
#include "package/PortableFile.h"

struct ZipArchive {
  const uint8_t* data = nullptr;
  size_t size = 0;
  unzFile file = nullptr;
  bool forReading = false;
  std::vector<unz64_file_pos> members;  // central directory positions by index
  std::string baseDir;
};

namespace {

// minizip reads the archive through these callbacks, straight from the block.
struct MemoryStream {
  const ZipArchive* archive;
  uint64_t pos;
};

voidpf ZCALLBACK MemOpen(voidpf opaque, const void* /*name*/, int mode) {
  if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  return new MemoryStream{static_cast<const ZipArchive*>(opaque), 0};
}

uLong ZCALLBACK MemRead(voidpf, voidpf stream, void* buf, uLong size) {
  MemoryStream* s = static_cast<MemoryStream*>(stream);
  uint64_t total = s->archive->size;
  if (s->pos >= total) return 0;
  uint64_t n = total - s->pos;
  if (n > size) n = size;
  std::memcpy(buf, s->archive->data + s->pos, static_cast<size_t>(n));
  s->pos += n;
  return static_cast<uLong>(n);
}

uLong ZCALLBACK MemWrite(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK MemTell(voidpf, voidpf stream) { return static_cast<MemoryStream*>(stream)->pos; }

long ZCALLBACK MemSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  MemoryStream* s = static_cast<MemoryStream*>(stream);
  uint64_t total = s->archive->size;
  uint64_t base;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: base = s->pos; break;
    case ZLIB_FILEFUNC_SEEK_END: base = total; break;
    default: return -1;
  }
  if (offset > total || base + offset > total) return -1;
  s->pos = base + offset;
  return 0;
}

int ZCALLBACK MemClose(voidpf, voidpf stream) {
  delete static_cast<MemoryStream*>(stream);
  return 0;
}

int ZCALLBACK MemError(voidpf, voidpf) { return 0; }

// Positions on member index and reads its header.
unsigned SelectMember(HZIP z, int index, unz_file_info64* info, char* name) {
  if (z == nullptr || index < 0) return ZR_ARGS;
  if (!z->forReading || z->file == nullptr) return ZR_NOTFORREAD;
  if (static_cast<size_t>(index) >= z->members.size()) return ZR_ARGS;
  if (unzGoToFilePos64(z->file, &z->members[static_cast<size_t>(index)]) != UNZ_OK) return ZR_ARGS;
  char buffer[kZipMemberNameMax + 2];
  if (unzGetCurrentFileInfo64(z->file, info, buffer, sizeof buffer, nullptr, 0, nullptr, 0) != UNZ_OK)
    return ZR_ARGS;
  // A longer name would be cut; refuse it instead of using a different name.
  if (info->size_filename > kZipMemberNameMax) return ZR_ARGS;
  buffer[info->size_filename] = '\0';
  if (name != nullptr) std::memcpy(name, buffer, info->size_filename + 1);
  return ZR_OK;
}

// Streams the selected member to sink(bytes, n) → true to go on.
template <typename Sink>
unsigned ReadSelected(HZIP z, const unz_file_info64& info, Sink sink, unsigned sinkError) {
  if (info.flag & 1) return ZR_PASSWORD;  // never given a password
  if (unzOpenCurrentFile(z->file) != UNZ_OK) return ZR_FLATE;
  uint64_t total = 0;
  unsigned code = ZR_OK;
  std::vector<char> chunk(65536);
  for (;;) {
    int n = unzReadCurrentFile(z->file, chunk.data(), static_cast<unsigned>(chunk.size()));
    if (n < 0) {
      code = ZR_FLATE;
      break;
    }
    if (n == 0) break;
    total += static_cast<unsigned>(n);
    if (!sink(chunk.data(), static_cast<size_t>(n))) {
      code = sinkError;
      break;
    }
  }
  int closed = unzCloseCurrentFile(z->file);
  if (code != ZR_OK) return code;
  if (closed != UNZ_OK || total != info.uncompressed_size) return ZR_FLATE;
  return ZR_OK;
}

}  // namespace

unsigned OpenZipMemory(const void* data, size_t size, HZIP* archive) {
  if (archive == nullptr) return ZR_ARGS;
  *archive = nullptr;
  if (data == nullptr || size == 0) return ZR_ARGS;
  ZipArchive* z = new ZipArchive;
  z->data = static_cast<const uint8_t*>(data);
  z->size = size;
  z->baseDir = CurrentDirectory();

  zlib_filefunc64_def io;
  io.zopen64_file = MemOpen;
  io.zread_file = MemRead;
  io.zwrite_file = MemWrite;
  io.ztell64_file = MemTell;
  io.zseek64_file = MemSeek;
  io.zclose_file = MemClose;
  io.zerror_file = MemError;
  io.opaque = z;
  z->file = unzOpen2_64("memory", &io);
  if (z->file == nullptr) {
    delete z;
    return ZR_ARGS;
  }
  z->forReading = true;
  // Index → position table, so that a member is found without walking.
  int err = unzGoToFirstFile(z->file);
  while (err == UNZ_OK) {
    unz64_file_pos pos;
    if (unzGetFilePos64(z->file, &pos) != UNZ_OK) break;
    z->members.push_back(pos);
    err = unzGoToNextFile(z->file);
  }
  *archive = z;
  return ZR_OK;
}

unsigned SetUnzipBaseDir(HZIP archive, const char* dir) {
  if (archive == nullptr || dir == nullptr || dir[0] == '\0') return ZR_ARGS;
  std::string base = dir;
  if (!EndsWithSeparator(base)) base += '\\';
  archive->baseDir = base;
  return ZR_OK;
}

unsigned GetZipMember(HZIP archive, int index, ZipMember* member) {
  if (member == nullptr) return ZR_ARGS;
  unz_file_info64 info;
  char name[kZipMemberNameMax + 1];
  unsigned code = SelectMember(archive, index, &info, name);
  if (code != ZR_OK) return code;
  member->index = index;
  std::memcpy(member->name, name, sizeof name);
  member->uncompressedSize = info.uncompressed_size;
  member->compressedSize = info.compressed_size;
  member->deflated = info.compression_method == Z_DEFLATED;
  member->isDirectory = EndsWithSeparator(name);
  return ZR_OK;
}

unsigned UnzipMemberToMemory(HZIP archive, int index, void* buffer, size_t length) {
  unz_file_info64 info;
  unsigned code = SelectMember(archive, index, &info, nullptr);
  if (code != ZR_OK) return code;
  if (info.uncompressed_size > length || (buffer == nullptr && length != 0)) return ZR_ARGS;
  char* out = static_cast<char*>(buffer);
  size_t used = 0;
  return ReadSelected(
      archive, info,
      [&](const char* bytes, size_t n) {
        if (n > length - used) return false;  // more than the header said
        std::memcpy(out + used, bytes, n);
        used += n;
        return true;
      },
      ZR_FLATE);
}

unsigned UnzipMemberToFile(HZIP archive, int index, const char* fileName) {
  if (fileName == nullptr || fileName[0] == '\0') return ZR_ARGS;
  unz_file_info64 info;
  char name[kZipMemberNameMax + 1];
  unsigned code = SelectMember(archive, index, &info, name);
  if (code != ZR_OK) return code;

  std::string relative = fileName;
  if (EndsWithSeparator(name)) {
    // A directory member only makes its directory.
    if (EndsWithSeparator(relative)) relative.pop_back();
    if (!IsSafeRelativePath(relative.c_str())) return ZR_NOFILE;
    return MakeDirectories(archive->baseDir + relative) ? ZR_OK : ZR_NOFILE;
  }
  if (!IsSafeRelativePath(relative.c_str())) return ZR_NOFILE;
  if (info.flag & 1) return ZR_PASSWORD;

  std::string path = archive->baseDir + relative;
  MakeParentDirectories(path);
  FILE* f = std::fopen(NativePath(path).c_str(), "wb");
  if (f == nullptr) return ZR_NOFILE;
  code = ReadSelected(
      archive, info, [&](const char* bytes, size_t n) { return std::fwrite(bytes, 1, n, f) == n; },
      ZR_WRITE);
  if (std::fclose(f) != 0 && code == ZR_OK) code = ZR_WRITE;
  return code;
}

unsigned CloseZip(HZIP archive) {
  if (archive == nullptr) return ZR_ARGS;
  if (archive->file != nullptr) unzClose(archive->file);
  delete archive;
  return ZR_OK;
}
