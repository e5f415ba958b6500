// The package: the PACKED_DATA resource, its descriptor, and the two-stage
// unpacking of members (ZIP member to stage file, Lzma86 stage file to the
// final file).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "EngineSupport.h"
#include "InstallUi.h"
#include "SetupContext.h"
#include "SorrelInstall.h"
#include "SystemMessageBox.h"
#include "package/Lzma86.h"
#include "package/MemberName.h"
#include "package/PackageDescriptor.h"

using namespace engine;

namespace {

const int kPackageResourceId = 137;
const char kPackageResourceType[] = "PACKED_DATA";
// Code of DecodeLzmaFile when the destination cannot be written.
const int kDecodeWriteFailed = 5;
// A descriptor larger than this is not a descriptor.
const uint64_t kDescriptorMaxSize = 16 * 1024 * 1024;

// A stage file name must stay a plain file name inside the install directory.
bool IsSafeMemberName(const char* name) {
  std::string relative;
  if (!name || !*name || !MemberRelativePath(name, &relative)) return false;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p) {
    if (IsGbkLeadByte(*p) && p[1]) {
      ++p;
      continue;
    }
    if (*p == '\\' || *p == '/' || *p == ':') return false;
  }
  return true;
}

std::string LowerAnsi(const char* text) {
  std::string out = text;
  if (!out.empty()) CharLowerBuffA(&out[0], static_cast<DWORD>(out.size()));
  return out;
}

}  // namespace

void CSorrelInstall::OpenPackage() {
  HRSRC resource = FindResourceA(m_packageModule, MAKEINTRESOURCEA(kPackageResourceId), kPackageResourceType);
  if (!resource) {
    m_ui.ShowPopMsg(kPopMsgNotice, "查找安装数据资源失败!");
    return;
  }
  m_packageResource = LoadResource(m_packageModule, resource);
  if (!m_packageResource) {
    m_ui.ShowPopMsg(kPopMsgNotice, "加载安装数据资源失败!");
    return;
  }
  const void* data = LockResource(m_packageResource);
  if (!data) return;
  DWORD size = SizeofResource(m_packageModule, resource);

  HZIP archive = NULL;
  if (OpenZipMemory(data, size, &archive) != ZR_OK || !archive) {
    char text[128];
    wsprintfA(text, "打开压缩文件失败! 返回错误码：%d", static_cast<int>(GetLastError()));
    m_ui.ShowPopMsg(kPopMsgNotice, text);
    return;
  }
  m_package = archive;

  // The descriptor, member 0; fields are never read past its end.
  PackageDescriptor descriptor;
  bool readable = false;
  ZipMember member;
  if (GetZipMember(m_package, 0, &member) == ZR_OK && !member.isDirectory &&
      member.uncompressedSize > 0 && member.uncompressedSize <= kDescriptorMaxSize) {
    std::vector<char> buffer(static_cast<size_t>(member.uncompressedSize));
    if (UnzipMemberToMemory(m_package, 0, &buffer[0], buffer.size()) == ZR_OK)
      readable = ParseDescriptor(&buffer[0], buffer.size(), &descriptor);
  }
  if (!readable) {
    m_ui.ShowPopMsg(kPopMsgNotice, kBadPackageMessage);
    return;
  }

  const char* tag = MachineTag();
  if (descriptor.machineTypes.find(tag) == std::string::npos) {
    m_ui.ShowPopMsg(kPopMsgNotice, "安装包类型与当前机器类型不兼容!");
    return;
  }
  // Without an agreement the wizard cannot run; such a package is as
  // unusable as one that cannot be read.
  if (descriptor.agreementText.empty()) {
    m_ui.ShowPopMsg(kPopMsgNotice, kBadPackageMessage);
    return;
  }

  m_lastMemberIndex = descriptor.lastMemberIndex;
  m_version = descriptor.version;
  m_type = descriptor.type;
  m_productId = descriptor.productId;
  m_versionNumber = descriptor.versionNumber;
  m_packetName = descriptor.packetName;
  m_productName = descriptor.productName;
  m_productId = IsNative64BitOS() ? "102" : "101";
  m_agreementText = descriptor.agreementText;
  m_installDlpClient = descriptor.installDlp ? 1 : 0;
  m_packageUsable = true;
}

std::string CSorrelInstall::GetAgreementText() {
  if (!m_package) OpenPackage();
  return m_agreementText;
}

int CSorrelInstall::IsMemberForThisMachine(const char* name) {
  return name && MemberHasTag(name, MachineTag()) ? 1 : 0;
}

unsigned CSorrelInstall::ExtractStageFile(int index, const char* name) {
  if (!IsSafeMemberName(name)) return ZR_NOFILE;
  std::string stage = InstallDirWithSlash() + name;
  bool existed = PathExists(stage);
  unsigned code = UnzipMemberToFile(m_package, index, name);
  if (!existed && PathExists(stage)) JournalCreatedFile(stage);
  return code;
}

void CSorrelInstall::ExtractHelperLibrary() {
  if (!m_package) OpenPackage();
  if (!PackageUsable()) return;
  if (!BeginWrite()) return;

  std::string installPath = m_context.GetInstallPath();
  SetUnzipBaseDir(m_package, installPath.c_str());
  // Every missing level, not only the last: the pages normally made it already.
  CreateDirectoryJournaled(installPath);

  for (int i = 1; i <= 2; ++i) {
    ZipMember member;
    if (GetZipMember(m_package, i, &member) != ZR_OK ||
        LowerAnsi(member.name).find("zaridavevarudor") == std::string::npos ||
        !IsSafeMemberName(member.name)) {
      m_ui.ShowPopMsg(kPopMsgNotice, kBadPackageMessage);
      break;
    }
    if (!IsMemberForThisMachine(member.name)) continue;
    unsigned code = ExtractStageFile(i, member.name);
    if (code != ZR_OK) {
      char text[128];
      wsprintfA(text, "第一重解压失败，返回值: %d", static_cast<int>(code));
      m_ui.ShowPopMsg(kPopMsgNotice, text);
    }
    UnpackMember(member.name);
    m_firstProductMemberIndex = i + 1;
    break;
  }
  EndWrite();
}

std::string CSorrelInstall::UnpackMember(const char* name) {
  std::string relative;
  if (!IsSafeMemberName(name) || !MemberRelativePath(name, &relative)) return std::string();
  const std::string dir = InstallDirWithSlash();
  const std::string stage = dir + name;
  const std::string finalPath = dir + relative;

  CreateDirectoryJournaled(ParentDirectory(finalPath));
  bool existed = PathExists(finalPath);
  if (existed && !DeleteFileA(finalPath.c_str())) {
    // Typically a loaded shell extension: release it, then try once more.
    UnregisterShellExtension(finalPath.c_str());
    DeleteFileA(finalPath.c_str());
  }
  int code = DecodeLzmaFile(stage.c_str(), finalPath.c_str());
  if (!existed && PathExists(finalPath)) JournalCreatedFile(finalPath);
  if (code != 0) {
    char text[128];
    wsprintfA(text, "压缩文件解压失败! 返回值为: %d", code);
    m_ui.ShowPopMsg(kPopMsgNotice, text);
  }
  DeleteFileA(stage.c_str());
  if (code != 0) return std::string();

  if (finalPath.find("SorrelIPC.dll") != std::string::npos) {
    std::string driveDir = dir + "Drive";
    CreateDirectoryJournaled(driveDir);
    std::string copy = driveDir + "\\SorrelIPC.dll";
    bool copyExisted = PathExists(copy);
    CopyFileA(finalPath.c_str(), copy.c_str(), FALSE);
    if (!copyExisted && PathExists(copy)) JournalCreatedFile(copy);
  }
  return finalPath;
}

int CSorrelInstall::DecodeLzmaFile(const char* source, const char* destination) {
  HANDLE in = CreateFileA(source, GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (in == INVALID_HANDLE_VALUE) {
    ShowSystemMessageBox("open file failed");
    return 4;
  }
  std::vector<uint8_t> packed;
  DWORD size = GetFileSize(in, NULL);
  bool readOk = size != INVALID_FILE_SIZE;
  if (readOk && size > 0) {
    packed.resize(size);
    DWORD got = 0;
    readOk = ReadFile(in, &packed[0], size, &got, NULL) && got == size;
  }
  CloseHandle(in);
  if (!readOk) return 3;

  std::vector<uint8_t> unpacked;
  int code = Lzma86DecodeBuffer(packed.empty() ? NULL : &packed[0], packed.size(), &unpacked);
  if (code != LZMA86_OK) return code == LZMA86_NO_SIZE ? 3 : 2;
  std::vector<uint8_t>().swap(packed);

  HANDLE out = CreateFileA(destination, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (out == INVALID_HANDLE_VALUE) return kDecodeWriteFailed;
  DWORD written = 0;
  bool ok = unpacked.empty() ||
            (WriteFile(out, &unpacked[0], static_cast<DWORD>(unpacked.size()), &written, NULL) &&
             written == unpacked.size());
  CloseHandle(out);
  if (!ok) {
    DeleteFileA(destination);
    return kDecodeWriteFailed;
  }
  return 0;
}
