// pkgtool: builds, lists and unpacks install packages.
//   pkgtool build --x86 DIR --x64 DIR --helper-x86 DLL --helper-x64 DLL
//                 --version V --type T --product-id ID --version-num N
//                 --packet-name P --product-name NAME --agreement FILE
//                 [--dlp EXE] [--files LISTFILE] -o OUT.zip
//   pkgtool list PKG
//   pkgtool extract PKG DIR --machine x86|x64
// Every failure ends with one line on stderr and a non-zero exit code.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "PackageWriter.h"
#include "package/Lzma86.h"
#include "package/MemberName.h"
#include "package/PackageDescriptor.h"
#include "package/PortableFile.h"
#include "package/ZipArchive.h"

namespace fs = std::filesystem;

namespace {

int Fail(const std::string& reason) {
  std::fprintf(stderr, "pkgtool: %s\n", reason.c_str());
  return 1;
}

int Usage() {
  return Fail("usage: pkgtool build ... -o OUT.zip | pkgtool list PKG | pkgtool extract PKG DIR --machine x86|x64");
}

std::string Hex(unsigned code) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%X", code);
  return buf;
}

// Regular files below root as relative paths with "/" separators; false when
// root is not a directory or cannot be walked.
bool ListTree(const std::string& root, std::set<std::string>* files, std::string* why) {
  std::error_code ec;
  if (!fs::is_directory(root, ec)) {
    *why = "not a directory: " + root;
    return false;
  }
  fs::recursive_directory_iterator it(root, ec), end;
  if (ec) {
    *why = "cannot read directory: " + root;
    return false;
  }
  for (; it != end; it.increment(ec)) {
    if (ec) {
      *why = "cannot read directory: " + root;
      return false;
    }
    std::error_code sec;
    if (it->is_regular_file(sec)) files->insert(fs::relative(it->path(), root, sec).generic_string());
  }
  if (ec) {
    *why = "cannot read directory: " + root;
    return false;
  }
  return true;
}

int Build(int argc, char** argv) {
  std::map<std::string, std::string> opt;
  static const char* const kKnown[] = {"--x86", "--x64", "--helper-x86", "--helper-x64", "--version",
                                       "--type", "--product-id", "--version-num", "--packet-name",
                                       "--product-name", "--agreement", "--dlp", "--files", "-o"};
  for (int i = 2; i < argc; i += 2) {
    std::string key = argv[i];
    if (std::find(std::begin(kKnown), std::end(kKnown), key) == std::end(kKnown))
      return Fail("unknown option: " + key);
    if (i + 1 >= argc) return Fail("missing value for " + key);
    if (opt.count(key)) return Fail("option given twice: " + key);
    opt[key] = argv[i + 1];
  }
  for (const char* required : {"--x86", "--x64", "--helper-x86", "--helper-x64", "--version", "--type",
                               "--product-id", "--version-num", "--packet-name", "--product-name",
                               "--agreement", "-o"}) {
    if (!opt.count(required)) return Fail(std::string("missing option ") + required);
  }

  PackageContent content;
  content.info.version = opt["--version"];
  content.info.type = opt["--type"];
  content.info.productId = opt["--product-id"];
  content.info.versionNumber = opt["--version-num"];
  content.info.packetName = opt["--packet-name"];
  content.info.productName = opt["--product-name"];
  std::vector<uint8_t> text;
  if (!ReadWholeFile(opt["--agreement"], &text)) return Fail("cannot read agreement: " + opt["--agreement"]);
  if (std::find(text.begin(), text.end(), 0) != text.end())
    return Fail("agreement text contains a NUL byte: " + opt["--agreement"]);
  content.info.agreementText.assign(text.begin(), text.end());

  if (!ReadWholeFile(opt["--helper-x86"], &content.helperX86))
    return Fail("cannot read helper library: " + opt["--helper-x86"]);
  if (!ReadWholeFile(opt["--helper-x64"], &content.helperX64))
    return Fail("cannot read helper library: " + opt["--helper-x64"]);
  // The setup loads the helper into its own 32-bit process on both machines.
  if (!IsI386PeDll(content.helperX86)) return Fail("helper is not a 32-bit PE DLL: " + opt["--helper-x86"]);
  if (!IsI386PeDll(content.helperX64)) return Fail("helper is not a 32-bit PE DLL: " + opt["--helper-x64"]);

  std::string why;
  std::set<std::string> x86Files, x64Files;
  if (!ListTree(opt["--x86"], &x86Files, &why) || !ListTree(opt["--x64"], &x64Files, &why)) return Fail(why);

  std::vector<std::string> order;
  if (opt.count("--files")) {
    std::vector<uint8_t> list;
    if (!ReadWholeFile(opt["--files"], &list)) return Fail("cannot read file list: " + opt["--files"]);
    std::string all(list.begin(), list.end());
    size_t start = 0;
    while (start <= all.size()) {
      size_t end = all.find('\n', start);
      if (end == std::string::npos) end = all.size();
      std::string line = all.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) order.push_back(line);
      start = end + 1;
    }
    for (const std::string& f : order) {
      bool in86 = x86Files.count(f) != 0, in64 = x64Files.count(f) != 0;
      if (!in86 && !in64) return Fail("listed file missing in both trees: " + f);
      if (!in86 || !in64) return Fail("file present for one machine type only: " + f);
    }
  } else {
    for (const std::string& f : x86Files)
      if (!x64Files.count(f)) return Fail("file present for one machine type only: x86/" + f);
    for (const std::string& f : x64Files)
      if (!x86Files.count(f)) return Fail("file present for one machine type only: x64/" + f);
    order.assign(x86Files.begin(), x86Files.end());
  }

  for (const std::string& f : order) {
    std::string name;
    if (f.find('_') != std::string::npos) return Fail("file name contains \"_\": " + f);
    if (!MakeMemberName("x86", f, true, &name) || !MakeMemberName("x64", f, false, &name))
      return Fail("file name cannot be a member name: " + f);
    PackageFile pf;
    pf.path = f;
    if (!ReadWholeFile(opt["--x86"] + "/" + f, &pf.x86)) return Fail("cannot read " + opt["--x86"] + "/" + f);
    if (!ReadWholeFile(opt["--x64"] + "/" + f, &pf.x64)) return Fail("cannot read " + opt["--x64"] + "/" + f);
    content.files.push_back(std::move(pf));
  }

  if (opt.count("--dlp")) {
    content.hasDlp = true;
    content.dlpFileName = fs::path(opt["--dlp"]).filename().string();
    if (content.dlpFileName.find('_') != std::string::npos)
      return Fail("file name contains \"_\": " + content.dlpFileName);
    if (!ReadWholeFile(opt["--dlp"], &content.dlp)) return Fail("cannot read DLP installer: " + opt["--dlp"]);
  }

  std::vector<uint8_t> archive;
  if (!BuildPackage(content, &archive, &why)) return Fail(why);
  if (!WriteWholeFile(opt["-o"], archive.data(), archive.size())) return Fail("cannot write " + opt["-o"]);
  return 0;
}

// The package with its descriptor; false with a reason.
struct OpenPackage {
  std::vector<uint8_t> bytes;
  HZIP zip = nullptr;
  ~OpenPackage() {
    if (zip != nullptr) CloseZip(zip);
  }
  bool Open(const std::string& path, std::string* why) {
    if (!ReadWholeFile(path, &bytes)) {
      *why = "cannot read package: " + path;
      return false;
    }
    if (bytes.empty() || OpenZipMemory(bytes.data(), bytes.size(), &zip) != ZR_OK) {
      *why = "not a ZIP archive: " + path;
      return false;
    }
    return true;
  }
  bool Descriptor(PackageDescriptor* d, std::string* why) {
    ZipMember m;
    unsigned code = GetZipMember(zip, 0, &m);
    if (code != ZR_OK) {
      *why = "package has no descriptor member (" + Hex(code) + ")";
      return false;
    }
    if (m.uncompressedSize > (64u << 20)) {
      *why = "descriptor too large";
      return false;
    }
    std::vector<char> data(static_cast<size_t>(m.uncompressedSize));
    code = UnzipMemberToMemory(zip, 0, data.data(), data.size());
    if (code != ZR_OK) {
      *why = "cannot read descriptor (" + Hex(code) + ")";
      return false;
    }
    if (!ParseDescriptor(data.data(), data.size(), d)) {
      *why = "descriptor has fewer than 23 fields";
      return false;
    }
    return true;
  }
};

int List(int argc, char** argv) {
  if (argc != 3) return Usage();
  OpenPackage pkg;
  std::string why;
  if (!pkg.Open(argv[2], &why)) return Fail(why);
  PackageDescriptor d;
  bool haveDescriptor = pkg.Descriptor(&d, &why);
  if (haveDescriptor) {
    std::printf("machine types: %s\n", d.machineTypes.c_str());
    std::printf("last member index: %u\n", d.lastMemberIndex);
    std::printf("version: %s\n", d.version.c_str());
    std::printf("type: %s\n", d.type.c_str());
    std::printf("product id: %s\n", d.productId.c_str());
    std::printf("version number: %s\n", d.versionNumber.c_str());
    std::printf("packet name: %s\n", d.packetName.c_str());
    std::printf("product name: %s\n", d.productName.c_str());
    std::printf("agreement text: %zu bytes\n", d.agreementText.size());
    std::printf("DLP client: %d\n", d.installDlp);
  }
  std::printf("index  name  method  compressed  uncompressed  filter  unpacked\n");
  for (int i = 0;; ++i) {
    ZipMember m;
    unsigned code = GetZipMember(pkg.zip, i, &m);
    if (code != ZR_OK) break;
    std::string filter = "-", unpacked = "-";
    if (i != 0 && !m.isDirectory) {
      std::vector<uint8_t> data;
      if (m.uncompressedSize > (size_t(1) << 31)) {
        filter = unpacked = "too-large";
      } else {
        data.resize(static_cast<size_t>(m.uncompressedSize));
        code = UnzipMemberToMemory(pkg.zip, i, data.data(), data.size());
        if (code != ZR_OK) {
          filter = unpacked = "error-" + Hex(code);
        } else {
          if (!data.empty()) filter = std::to_string(data[0]);
          uint64_t size = 0;
          unpacked = Lzma86UnpackedSize(data.data(), data.size(), &size) == LZMA86_OK
                         ? std::to_string(size)
                         : "no-size";
        }
      }
    }
    std::printf("%d  %s  %s  %llu  %llu  %s  %s\n", i, m.name, m.deflated ? "deflated" : "stored",
                static_cast<unsigned long long>(m.compressedSize),
                static_cast<unsigned long long>(m.uncompressedSize), filter.c_str(), unpacked.c_str());
  }
  if (!haveDescriptor) return Fail(why);
  return 0;
}

int Extract(int argc, char** argv) {
  if (argc != 6 || std::strcmp(argv[4], "--machine") != 0) return Usage();
  std::string machine = argv[5];
  if (machine != "x86" && machine != "x64") return Fail("machine must be x86 or x64");
  OpenPackage pkg;
  std::string why;
  if (!pkg.Open(argv[2], &why)) return Fail(why);
  PackageDescriptor d;
  if (!pkg.Descriptor(&d, &why)) return Fail(why);
  if (d.machineTypes.find(machine) == std::string::npos)
    return Fail("package does not support " + machine + " (" + d.machineTypes + ")");

  std::string dir = argv[3];
  if (!MakeDirectories(dir)) return Fail("cannot create directory: " + dir);
  if (!EndsWithSeparator(dir)) dir += '/';
  SetUnzipBaseDir(pkg.zip, dir.c_str());

  int failures = 0;
  for (unsigned i = 1; i <= d.lastMemberIndex; ++i) {
    ZipMember m;
    unsigned code = GetZipMember(pkg.zip, static_cast<int>(i), &m);
    if (code != ZR_OK) {
      std::fprintf(stderr, "pkgtool: member %u cannot be read (%s)\n", i, Hex(code).c_str());
      ++failures;
      break;
    }
    bool isDlp = d.installDlp && i == d.lastMemberIndex;
    if (!isDlp && !MemberHasTag(m.name, machine.c_str())) continue;
    std::string relative;
    if (!MemberRelativePath(m.name, &relative) || !IsSafeRelativePath(m.name)) {
      std::fprintf(stderr, "pkgtool: warning: unsafe member name refused: %s\n", m.name);
      continue;
    }
    // Stage 1: the member as it is stored; stage 2: decoded to its final path.
    code = UnzipMemberToFile(pkg.zip, static_cast<int>(i), m.name);
    std::string stage = dir + m.name;
    if (code != ZR_OK) {
      std::fprintf(stderr, "pkgtool: member %u %s: unzip failed (%s)\n", i, m.name, Hex(code).c_str());
      RemoveFile(stage);
      ++failures;
      continue;
    }
    std::vector<uint8_t> packed, plain;
    int lz = ReadWholeFile(stage, &packed) ? Lzma86DecodeBuffer(packed.data(), packed.size(), &plain) : 4;
    RemoveFile(stage);
    if (lz != LZMA86_OK) {
      std::fprintf(stderr, "pkgtool: member %u %s: decode failed (%d)\n", i, m.name, lz);
      ++failures;
      continue;
    }
    std::string final = dir + relative;
    MakeParentDirectories(final);
    if (!WriteWholeFile(final, plain.data(), plain.size())) {
      std::fprintf(stderr, "pkgtool: cannot write %s\n", final.c_str());
      ++failures;
    }
  }
  if (failures != 0) return Fail(std::to_string(failures) + " member(s) failed");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string command = argv[1];
  try {
    if (command == "build") return Build(argc, argv);
    if (command == "list") return List(argc, argv);
    if (command == "extract") return Extract(argc, argv);
  } catch (const std::exception& e) {
    return Fail(std::string("internal error: ") + e.what());
  }
  return Usage();
}
