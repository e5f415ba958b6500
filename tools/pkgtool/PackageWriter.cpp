#include "PackageWriter.h"

#include <cstring>
#include <new>
#include <set>

#include <Lzma86.h>
#include <zip.h>
#include <zlib.h>

#include "package/MemberName.h"

const char kHelperMemberX86[] = "x86_ZarIdaveVaruDor.dll.zip";
const char kHelperMemberX64[] = "x64_ZarIdaveVaruDor.dll";

namespace {

// minizip writes through these callbacks into a growing buffer.
struct MemoryOut {
  std::vector<uint8_t>* bytes;
  uint64_t pos;
};

voidpf ZCALLBACK OutOpen(voidpf opaque, const void*, int) {
  return new MemoryOut{static_cast<std::vector<uint8_t>*>(opaque), 0};
}
uLong ZCALLBACK OutRead(voidpf, voidpf, void*, uLong) { return 0; }
uLong ZCALLBACK OutWrite(voidpf, voidpf stream, const void* buf, uLong size) {
  MemoryOut* s = static_cast<MemoryOut*>(stream);
  size_t end = static_cast<size_t>(s->pos) + size;
  try {
    if (end > s->bytes->size()) s->bytes->resize(end);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  std::memcpy(s->bytes->data() + s->pos, buf, size);
  s->pos = end;
  return size;
}
ZPOS64_T ZCALLBACK OutTell(voidpf, voidpf stream) { return static_cast<MemoryOut*>(stream)->pos; }
long ZCALLBACK OutSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  MemoryOut* s = static_cast<MemoryOut*>(stream);
  uint64_t base = origin == ZLIB_FILEFUNC_SEEK_SET   ? 0
                  : origin == ZLIB_FILEFUNC_SEEK_CUR ? s->pos
                                                     : s->bytes->size();
  if (base + offset > s->bytes->size()) return -1;
  s->pos = base + offset;
  return 0;
}
int ZCALLBACK OutClose(voidpf, voidpf stream) {
  delete static_cast<MemoryOut*>(stream);
  return 0;
}
int ZCALLBACK OutError(voidpf, voidpf) { return 0; }

// Raw deflate (no zlib header), as a ZIP member stores it.
bool RawDeflate(const void* data, size_t size, std::vector<uint8_t>* out) {
  z_stream zs;
  std::memset(&zs, 0, sizeof zs);
  if (deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    return false;
  out->resize(deflateBound(&zs, static_cast<uLong>(size)) + 16);
  zs.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(data));
  zs.avail_in = static_cast<uInt>(size);
  zs.next_out = out->data();
  zs.avail_out = static_cast<uInt>(out->size());
  int rc = deflate(&zs, Z_FINISH);
  out->resize(zs.total_out);
  deflateEnd(&zs);
  return rc == Z_STREAM_END;
}

}  // namespace

struct ZipBuilder::Impl {
  std::vector<uint8_t> bytes;
  zipFile zip = nullptr;
};

ZipBuilder::ZipBuilder() : impl_(new Impl) {
  zlib_filefunc64_def io;
  io.zopen64_file = OutOpen;
  io.zread_file = OutRead;
  io.zwrite_file = OutWrite;
  io.ztell64_file = OutTell;
  io.zseek64_file = OutSeek;
  io.zclose_file = OutClose;
  io.zerror_file = OutError;
  io.opaque = &impl_->bytes;
  impl_->zip = zipOpen2_64("memory", APPEND_STATUS_CREATE, nullptr, &io);
  if (impl_->zip == nullptr) error_ = "cannot start the archive";
}

ZipBuilder::~ZipBuilder() {
  if (impl_->zip != nullptr) zipClose(impl_->zip, nullptr);
  delete impl_;
}

bool ZipBuilder::Add(const std::string& name, const void* data, size_t size,
                     const MemberOptions& options) {
  if (impl_->zip == nullptr) {
    if (error_.empty()) error_ = "the archive is finished";
    return false;
  }
  if (size >= 0xFFFFFFFFu) {
    error_ = "member too large: " + name;
    return false;
  }
  std::vector<uint8_t> deflated;
  const void* payload = data;
  size_t payloadSize = size;
  if (options.deflated) {
    if (!RawDeflate(data, size, &deflated)) {
      error_ = "deflate failed: " + name;
      return false;
    }
    payload = deflated.data();
    payloadSize = deflated.size();
  }
  uLong crc = crc32(0L, Z_NULL, 0);
  if (size != 0) crc = crc32(crc, static_cast<const Bytef*>(data), static_cast<uInt>(size));
  if (options.badCrc) crc ^= 0xA5A5A5A5u;

  zip_fileinfo fi;
  std::memset(&fi, 0, sizeof fi);
  fi.tmz_date.tm_year = 2014;  // fixed, so that equal input gives equal packages
  fi.tmz_date.tm_mon = 4;
  fi.tmz_date.tm_mday = 1;
  int method = options.deflated ? Z_DEFLATED : 0;
  int level = options.deflated ? Z_DEFAULT_COMPRESSION : 0;
  uLong flagBase = options.encryptedFlag ? 1 : 0;
  if (zipOpenNewFileInZip4_64(impl_->zip, name.c_str(), &fi, nullptr, 0, nullptr, 0, nullptr, method,
                              level, 1, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0, 20, flagBase,
                              0) != ZIP_OK) {
    error_ = "cannot add member: " + name;
    return false;
  }
  bool ok = payloadSize == 0 ||
            zipWriteInFileInZip(impl_->zip, payload, static_cast<unsigned>(payloadSize)) == ZIP_OK;
  if (zipCloseFileInZipRaw64(impl_->zip, size, crc) != ZIP_OK) ok = false;
  if (!ok) error_ = "cannot write member: " + name;
  return ok;
}

bool ZipBuilder::Finish(std::vector<uint8_t>* archive) {
  if (impl_->zip == nullptr) {
    if (error_.empty()) error_ = "the archive is finished";
    return false;
  }
  int rc = zipClose(impl_->zip, nullptr);
  impl_->zip = nullptr;
  if (rc != ZIP_OK) {
    error_ = "cannot finish the archive";
    return false;
  }
  if (archive != nullptr) archive->swap(impl_->bytes);
  return true;
}

bool EncodeLzma86(const void* data, size_t size, std::vector<uint8_t>* out, std::string* error) {
  if (out == nullptr) return false;
  out->clear();
  // Worst case LZMA growth is small; retry larger should it not fit.
  for (size_t room = size + size / 2 + 1024;; room *= 2) {
    try {
      out->resize(room);
    } catch (const std::bad_alloc&) {
      if (error != nullptr) *error = "out of memory";
      return false;
    }
    size_t outLen = out->size();
    static const uint8_t kEmpty = 0;
    SRes rc = Lzma86_Encode(out->data(), &outLen, size ? static_cast<const Byte*>(data) : &kEmpty, size,
                            5, kPackageDictionarySize, SZ_FILTER_AUTO);
    if (rc == SZ_OK) {
      out->resize(outLen);
      return true;
    }
    if (rc != SZ_ERROR_OUTPUT_EOF || room > (size_t(1) << 30)) {
      if (error != nullptr) *error = "LZMA encoding failed (" + std::to_string(rc) + ")";
      out->clear();
      return false;
    }
  }
}

std::string MakeDescriptor(const PackageInfo& info, unsigned lastMemberIndex, bool dlp) {
  std::string d;
  auto field = [&d](const std::string& s) {
    d += s;
    d += '\0';
  };
  field(info.machineTypes);
  field(std::to_string(lastMemberIndex));
  field(info.version);
  field(info.type);
  field(info.productId);
  field(info.versionNumber);
  field(info.packetName);
  field(info.productName);
  field(info.agreementText);
  for (int i = 0; i < 13; ++i) field(std::string());
  field(dlp ? "1" : "0");
  return d;
}

bool BuildPackage(const PackageContent& content, std::vector<uint8_t>* archive, std::string* error) {
  std::string dummy;
  std::string& why = error != nullptr ? *error : dummy;
  why.clear();
  const PackageInfo& info = content.info;
  for (const std::string* s : {&info.machineTypes, &info.version, &info.type, &info.productId,
                               &info.versionNumber, &info.packetName, &info.productName,
                               &info.agreementText}) {
    if (s->find('\0') != std::string::npos) {
      why = "descriptor text contains a NUL byte";
      return false;
    }
  }

  struct Member {
    std::string name;
    const std::vector<uint8_t>* data;
    bool deflated;
  };
  std::vector<Member> members;
  members.push_back({kHelperMemberX86, &content.helperX86, false});
  members.push_back({kHelperMemberX64, &content.helperX64, true});
  for (const PackageFile& f : content.files) {
    std::string x86, x64;
    if (!MakeMemberName("x86", f.path, true, &x86) || !MakeMemberName("x64", f.path, false, &x64)) {
      why = "file name cannot be a member name (\"_\" or unsafe path): " + f.path;
      return false;
    }
    members.push_back({x86, &f.x86, false});
    members.push_back({x64, &f.x64, true});
  }
  if (content.hasDlp) {
    std::string name;
    if (!MakeMemberName("x86", content.dlpFileName, true, &name)) {
      why = "DLP installer name cannot be a member name: " + content.dlpFileName;
      return false;
    }
    members.push_back({name, &content.dlp, false});
  }
  // Two members mapping to one final file of the same machine type.
  std::set<std::string> seen;
  for (const Member& m : members) {
    std::string rel;
    MemberRelativePath(m.name.c_str(), &rel);
    std::string key = m.name.substr(0, 3) + ":" + rel;
    for (char& c : key) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (!seen.insert(key).second) {
      why = "duplicate member: " + m.name;
      return false;
    }
  }

  // The setup takes an unpacked size of zero for a broken member (code 3).
  for (const Member& m : members) {
    if (m.data->empty()) {
      why = "empty file cannot be packed (the setup rejects size 0): " + m.name;
      return false;
    }
  }

  ZipBuilder zip;
  std::string descriptor =
      MakeDescriptor(info, static_cast<unsigned>(members.size()), content.hasDlp);
  if (!zip.Add("config.dat", descriptor.data(), descriptor.size(), ZipBuilder::MemberOptions())) {
    why = zip.error();
    return false;
  }
  for (const Member& m : members) {
    std::vector<uint8_t> packed;
    if (!EncodeLzma86(m.data->data(), m.data->size(), &packed, &why)) {
      why += ": " + m.name;
      return false;
    }
    ZipBuilder::MemberOptions o;
    o.deflated = m.deflated;
    if (!zip.Add(m.name, packed.data(), packed.size(), o)) {
      why = zip.error();
      return false;
    }
  }
  if (!zip.Finish(archive)) {
    why = zip.error();
    return false;
  }
  return true;
}

bool IsI386PeDll(const std::vector<uint8_t>& image) {
  auto u16 = [&image](size_t at) { return static_cast<unsigned>(image[at] | (image[at + 1] << 8)); };
  if (image.size() < 0x40 || image[0] != 'M' || image[1] != 'Z') return false;
  size_t pe = static_cast<size_t>(u16(0x3C)) | (static_cast<size_t>(u16(0x3E)) << 16);
  if (pe > image.size() || image.size() - pe < 24) return false;
  if (std::memcmp(&image[pe], "PE\0\0", 4) != 0) return false;
  unsigned machine = u16(pe + 4);
  unsigned characteristics = u16(pe + 22);
  return machine == 0x14C && (characteristics & 0x2000) != 0;
}
