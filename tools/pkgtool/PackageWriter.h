// Writes install packages: the ZIP archive (minizip's zip, built in memory),
// Lzma86 members (LZMA SDK encoder) and the config.dat descriptor. Portable:
// used by pkgtool and, in-process, by tests that need packages (also broken
// ones, through ZipBuilder).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A ZIP archive in memory; members are added in index order.
class ZipBuilder {
 public:
  struct MemberOptions {
    bool deflated = false;       // false: stored
    bool encryptedFlag = false;  // general purpose bit 0 set; the data is not encrypted
    bool badCrc = false;         // the recorded CRC does not match the data
  };
  ZipBuilder();
  ~ZipBuilder();
  ZipBuilder(const ZipBuilder&) = delete;
  ZipBuilder& operator=(const ZipBuilder&) = delete;

  // Any name, any bytes.
  bool Add(const std::string& name, const void* data, size_t size, const MemberOptions& options);
  bool Add(const std::string& name, const std::vector<uint8_t>& data, bool deflated) {
    MemberOptions o;
    o.deflated = deflated;
    return Add(name, data.data(), data.size(), o);
  }
  // Writes the central directory; the builder takes no more members.
  bool Finish(std::vector<uint8_t>* archive);
  const std::string& error() const { return error_; }

 private:
  struct Impl;
  Impl* impl_;
  std::string error_;
};

// Lzma86 as the package uses it: 8 MiB dictionary, properties 0x5D (lc 3,
// lp 0, pb 2), x86 filter chosen per file (whichever compresses better).
enum { kPackageDictionarySize = 1 << 23 };
bool EncodeLzma86(const void* data, size_t size, std::vector<uint8_t>* out,
                  std::string* error = nullptr);

struct PackageInfo {
  std::string machineTypes = "x86_x64";
  std::string version;
  std::string type;
  std::string productId;
  std::string versionNumber;
  std::string packetName;
  std::string productName;
  std::string agreementText;
};

// config.dat: fields 0 to 8, thirteen empty strings, the DLP flag "0"/"1",
// each NUL-terminated.
std::string MakeDescriptor(const PackageInfo& info, unsigned lastMemberIndex, bool dlp);

struct PackageFile {
  std::string path;  // relative to the install directory, "/" separators
  std::vector<uint8_t> x86;
  std::vector<uint8_t> x64;
};

struct PackageContent {
  PackageInfo info;
  std::vector<uint8_t> helperX86;  // ZarIdaveVaruDor.dll, members 1 and 2
  std::vector<uint8_t> helperX64;
  std::vector<PackageFile> files;  // members 3.. in pairs, x86 then x64
  bool hasDlp = false;             // the DLP installer as the last member
  std::string dlpFileName;         // its file name in the install directory
  std::vector<uint8_t> dlp;
};

extern const char kHelperMemberX86[];  // "x86_ZarIdaveVaruDor.dll.zip"
extern const char kHelperMemberX64[];  // "x64_ZarIdaveVaruDor.dll"

// The package layout: config.dat, helper x86 (stored) and x64 (deflated),
// per file x86 stored with ".zip" and x64 deflated without, the DLP
// installer last (x86 naming, stored). Every member but config.dat is Lzma86.
// False with a one-line reason (names with "_", duplicates, ...).
bool BuildPackage(const PackageContent& content, std::vector<uint8_t>* archive,
                  std::string* error);

// A 32-bit (i386) PE DLL: "MZ", "PE\0\0", machine 0x14C, IMAGE_FILE_DLL.
bool IsI386PeDll(const std::vector<uint8_t>& image);
