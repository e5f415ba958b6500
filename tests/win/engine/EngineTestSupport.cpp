#include "EngineTestSupport.h"

#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "SystemMessageBox.h"
#include "services/MachineType.h"

const char kProductKey[] = "Software\\VanTrel\\MailKorvo_Disk";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MailKorvo_Disk";

// --- RecordingUi ---

RecordingUi::RecordingUi()
    : quitCount(0), pauseAt(-1), reachedPause(CreateEventA(NULL, TRUE, FALSE, NULL)),
      resume(CreateEventA(NULL, TRUE, FALSE, NULL)) {
  m_window = CreateWindowExA(0, "STATIC", "progress", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
}

RecordingUi::~RecordingUi() {
  if (m_window) DestroyWindow(m_window);
  CloseHandle(reachedPause);
  CloseHandle(resume);
}

int RecordingUi::ShowPopMsg(int type, const char* text) {
  PopMsg m = {type, text ? text : "(null)"};
  messages.push_back(m);
  if (type != 11034) return 1;
  if (answers.empty()) return 1;
  int answer = answers.front();
  answers.pop_front();
  return answer;
}

void RecordingUi::SetProgress(int percent) {
  progress.push_back(percent);
  if (percent == pauseAt) {
    SetEvent(reachedPause);
    WaitForSingleObject(resume, 30000);
  }
}

// --- system boxes ---

namespace {
std::vector<std::string> g_systemBoxes;
void RecordSystemBox(const char* text) { g_systemBoxes.push_back(text ? text : ""); }
}  // namespace

void StartRecordingSystemBoxes() {
  g_systemBoxes.clear();
  SetSystemMessageBoxHook(RecordSystemBox);
}

std::vector<std::string> TakeSystemBoxes() {
  std::vector<std::string> out;
  out.swap(g_systemBoxes);
  return out;
}

// --- PackageModule ---

PackageModule::PackageModule(const std::vector<uint8_t>& archive, bool withResource) : m_module(NULL) {
  static LONG counter = 0;
  char temp[MAX_PATH];
  GetTempPathA(sizeof(temp), temp);
  char name[MAX_PATH];
  wsprintfA(name, "%sengpkg%lu_%ld.dll", temp, GetCurrentProcessId(), InterlockedIncrement(&counter));
  m_path = name;
  if (!CopyFileA(WinPath(TEST_RES_MODULE).c_str(), m_path.c_str(), FALSE)) return;
  if (withResource) {
    HANDLE update = BeginUpdateResourceA(m_path.c_str(), FALSE);
    if (!update) return;
    UpdateResourceA(update, "PACKED_DATA", MAKEINTRESOURCEA(137), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                    archive.empty() ? NULL : const_cast<uint8_t*>(&archive[0]),
                    static_cast<DWORD>(archive.size()));
    if (!EndUpdateResourceA(update, FALSE)) return;
  }
  m_module = LoadLibraryExA(m_path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
}

PackageModule::~PackageModule() {
  if (m_module) FreeLibrary(m_module);
  DeleteFileA(m_path.c_str());
}

// --- paths and files ---

std::string WinPath(const char* unixPath) {
  std::string out = unixPath;
  for (size_t i = 0; i < out.size(); ++i)
    if (out[i] == '/') out[i] = '\\';
  if (!out.empty() && out[0] == '\\') out = "Z:" + out;
  return out;
}

std::string MachineTag() { return IsNative64BitOS() ? "x64" : "x86"; }

bool FileExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::vector<uint8_t> out;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
  if (f == INVALID_HANDLE_VALUE) return out;
  DWORD size = GetFileSize(f, NULL);
  out.resize(size);
  DWORD got = 0;
  if (size) ReadFile(f, &out[0], size, &got, NULL);
  out.resize(got);
  CloseHandle(f);
  return out;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = bytes.empty() || WriteFile(f, &bytes[0], static_cast<DWORD>(bytes.size()), &written, NULL);
  CloseHandle(f);
  return ok && written == bytes.size();
}

std::string ReadText(const std::string& path) {
  std::vector<uint8_t> b = ReadFileBytes(path);
  return std::string(b.begin(), b.end());
}

std::vector<std::string> ListDir(const std::string& dir) {
  std::vector<std::string> out;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return out;
  do {
    if (strcmp(data.cFileName, ".") && strcmp(data.cFileName, "..")) out.push_back(data.cFileName);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return out;
}

void RemoveTree(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(a & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileA(path.c_str());
    return;
  }
  std::vector<std::string> names = ListDir(path);
  for (size_t i = 0; i < names.size(); ++i) RemoveTree(path + "\\" + names[i]);
  RemoveDirectoryA(path.c_str());
}

std::string FreshDir(const std::string& leaf) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof(temp), temp);
  std::string root = std::string(temp) + "engine tests";
  CreateDirectoryA(root.c_str(), NULL);
  std::string dir = root + "\\" + leaf;
  RemoveTree(dir);
  return dir;
}

std::string SpecialFolderPath(int csidl) {
  char buffer[MAX_PATH] = {0};
  SHGetSpecialFolderPathA(NULL, buffer, csidl, FALSE);
  return buffer;
}

std::string ShortcutTarget(const std::string& link) {
  CoInitialize(NULL);
  std::string out;
  IShellLinkA* shellLink = NULL;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&shellLink))))
    return out;
  IPersistFile* file = NULL;
  if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(file->Load(wide, STGM_READ))) {
      char target[MAX_PATH] = {0};
      if (SUCCEEDED(shellLink->GetPath(target, MAX_PATH, NULL, SLGP_RAWPATH))) out = target;
    }
    file->Release();
  }
  shellLink->Release();
  return out;
}

std::string IniValue(const std::string& file, const char* section, const char* key) {
  char buffer[1024] = {0};
  GetPrivateProfileStringA(section, key, "<absent>", buffer, sizeof(buffer), file.c_str());
  return buffer;
}

// --- registry ---

bool ReadMachineString(const char* key, const char* name, std::string* value) {
  HKEY handle;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | KEY_WOW64_64KEY, &handle) != ERROR_SUCCESS)
    return false;
  char buffer[1024] = {0};
  DWORD size = sizeof(buffer) - 1, type = 0;
  LONG r = RegQueryValueExA(handle, name, NULL, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(handle);
  if (r != ERROR_SUCCESS || type != REG_SZ) return false;
  *value = buffer;
  return true;
}

void WriteMachineString(const char* key, const char* name, const char* value) {
  HKEY handle;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, NULL, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, NULL, &handle,
                      NULL) != ERROR_SUCCESS)
    return;
  RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), lstrlenA(value) + 1);
  RegCloseKey(handle);
}

void DeleteMachineKey(const char* key) {
  typedef LONG(WINAPI * DeleteKeyEx)(HKEY, LPCSTR, REGSAM, DWORD);
  DeleteKeyEx deleteKeyEx = reinterpret_cast<DeleteKeyEx>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegDeleteKeyExA")));
  if (deleteKeyEx)
    deleteKeyEx(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY, 0);
  else
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
}

bool ReadAutorun(std::string* value) {
  HKEY handle;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                    KEY_READ | KEY_WOW64_64KEY, &handle) != ERROR_SUCCESS)
    return false;
  char buffer[1024] = {0};
  DWORD size = sizeof(buffer) - 1, type = 0;
  LONG r = RegQueryValueExA(handle, "VerIruzAviz", NULL, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(handle);
  if (r != ERROR_SUCCESS) return false;
  *value = buffer;
  return true;
}

void DeleteAutorun() {
  HKEY handle;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                    KEY_ALL_ACCESS | KEY_WOW64_64KEY, &handle) != ERROR_SUCCESS)
    return;
  RegDeleteValueA(handle, "VerIruzAviz");
  RegCloseKey(handle);
}

// --- stand-in product ---

std::vector<uint8_t> HelperDll(const char* variant) {
  if (!variant) return ReadFileBytes(WinPath(TEST_HELPER_DLL));
  return ReadFileBytes(WinPath(TEST_HELPER_VARIANTS) + "\\" + variant + "\\ZarIdaveVaruDor.dll");
}

std::string ProductTree() { return WinPath(MachineTag() == "x64" ? TEST_PRODUCT_X64_TREE : TEST_PRODUCT_X86_TREE); }

std::vector<std::string> ProductFiles() {
  std::vector<std::string> out;
  std::istringstream lines(ReadText(WinPath(TEST_PRODUCT_FILES)));
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line[line.size() - 1] == '\r') line.erase(line.size() - 1);
    if (line.empty()) continue;
    for (size_t i = 0; i < line.size(); ++i)
      if (line[i] == '/') line[i] = '\\';
    out.push_back(line);
  }
  return out;
}

std::vector<uint8_t> DemoPackage() { return ReadFileBytes(WinPath(TEST_DEMO_PACKAGE)); }

std::vector<uint8_t> DlpInstaller() {
  return ReadFileBytes(WinPath(MachineTag() == "x64" ? TEST_DLP_X64 : TEST_DLP_X86));
}

std::vector<std::vector<std::string>> ReadJournal(const std::string& path) {
  std::vector<std::vector<std::string>> out;
  std::string text = ReadText(path);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::vector<std::string> fields;
    std::string line = text.substr(start, end - start);
    size_t f = 0;
    for (;;) {
      size_t tab = line.find('\t', f);
      fields.push_back(line.substr(f, tab == std::string::npos ? std::string::npos : tab - f));
      if (tab == std::string::npos) break;
      f = tab + 1;
    }
    out.push_back(fields);
    start = end + 1;
  }
  return out;
}

// --- packages ---

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

PackageContent SmallPackage(const char* helperVariant) {
  PackageContent c;
  c.info.machineTypes = "x86_x64";
  c.info.version = "1.0.0.50";
  c.info.type = "4";
  c.info.productId = "101";
  c.info.versionNumber = "16";
  c.info.packetName = "MailKorvo_disk";
  c.info.productName = "";
  c.info.agreementText = "用户协议\r\n第一条";
  c.helperX86 = HelperDll(helperVariant);
  c.helperX64 = c.helperX86;
  const char* paths[] = {"KorvoNetDiskLink.exe", "ZozOrerEduvaz.ini", "vtdndConfig.ini",
                         "Drive/xp/MailKorvoDrive.dll", "unins000.exe"};
  for (size_t i = 0; i < sizeof(paths) / sizeof(paths[0]); ++i) {
    PackageFile f;
    f.path = paths[i];
    std::string rel = paths[i];
    for (size_t j = 0; j < rel.size(); ++j)
      if (rel[j] == '/') rel[j] = '\\';
    if (rel == "ZozOrerEduvaz.ini") {
      f.x86 = Bytes("[Web]\r\nLoginURL=http://new/login\r\nLoginUrlList=http://new/list\r\n");
      f.x64 = f.x86;
    } else if (rel == "vtdndConfig.ini") {
      f.x86 = Bytes("[vtdnd]\r\nenableLog=0\r\nlogLevel=1\r\n");
      f.x64 = f.x86;
    } else {
      f.x86 = Bytes("x86 build of " + rel);
      f.x64 = Bytes("x64 build of " + rel);
    }
    c.files.push_back(f);
  }
  return c;
}

std::vector<uint8_t> SmallFileBytes(const std::string& path) { return Bytes(MachineTag() + " build of " + path); }

std::vector<uint8_t> Build(const PackageContent& content) {
  std::vector<uint8_t> archive;
  std::string error;
  if (!BuildPackage(content, &archive, &error)) {
    fprintf(stderr, "BuildPackage: %s\n", error.c_str());
    archive.clear();
  }
  return archive;
}

std::vector<uint8_t> Lzma(const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> out;
  EncodeLzma86(bytes.empty() ? NULL : &bytes[0], bytes.size(), &out);
  return out;
}

std::string DescriptorOf(const PackageContent& content, unsigned lastMemberIndex, bool dlp) {
  return MakeDescriptor(content.info, lastMemberIndex, dlp);
}

std::vector<RawMember> RawMembers(const PackageContent& content, unsigned lastIndexAdjust) {
  std::vector<RawMember> out;
  unsigned last = 2 + 2 * static_cast<unsigned>(content.files.size()) + (content.hasDlp ? 1 : 0) + lastIndexAdjust;
  RawMember m;
  m.name = "config.dat";
  std::string descriptor = DescriptorOf(content, last, content.hasDlp);
  m.data.assign(descriptor.begin(), descriptor.end());
  m.options.deflated = true;
  out.push_back(m);
  m.name = "x86_ZarIdaveVaruDor.dll.zip";
  m.data = Lzma(content.helperX86);
  m.options.deflated = false;
  out.push_back(m);
  m.name = "x64_ZarIdaveVaruDor.dll";
  m.data = Lzma(content.helperX64);
  m.options.deflated = true;
  out.push_back(m);
  for (size_t i = 0; i < content.files.size(); ++i) {
    std::string flat = content.files[i].path;
    for (size_t j = 0; j < flat.size(); ++j)
      if (flat[j] == '/') flat[j] = '_';
    m.name = "x86_" + flat + ".zip";
    m.data = Lzma(content.files[i].x86);
    m.options.deflated = false;
    out.push_back(m);
    m.name = "x64_" + flat;
    m.data = Lzma(content.files[i].x64);
    m.options.deflated = true;
    out.push_back(m);
  }
  if (content.hasDlp) {
    m.name = "x86_" + content.dlpFileName + ".zip";
    m.data = Lzma(content.dlp);
    m.options.deflated = false;
    out.push_back(m);
  }
  return out;
}

std::vector<uint8_t> BuildRaw(const std::vector<RawMember>& members) {
  ZipBuilder zip;
  for (size_t i = 0; i < members.size(); ++i) {
    const std::vector<uint8_t>& d = members[i].data;
    zip.Add(members[i].name, d.empty() ? NULL : &d[0], d.size(), members[i].options);
  }
  std::vector<uint8_t> archive;
  if (!zip.Finish(&archive)) fprintf(stderr, "ZipBuilder: %s\n", zip.error().c_str());
  return archive;
}

std::vector<std::string> ListTree(const std::string& dir) {
  std::vector<std::string> out;
  std::vector<std::string> names = ListDir(dir);
  for (size_t i = 0; i < names.size(); ++i) {
    std::string full = dir + "\\" + names[i];
    if (DirExists(full)) {
      std::vector<std::string> sub = ListTree(full);
      for (size_t j = 0; j < sub.size(); ++j) out.push_back(names[i] + "\\" + sub[j]);
    } else {
      out.push_back(names[i]);
    }
  }
  return out;
}
