// Shared pieces of the engine tests: a recording user interface, packages in
// resource modules, paths of the stand-in product, registry and file helpers.
#pragma once
#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "InstallUi.h"
#include "PackageWriter.h"

struct PopMsg {
  int type;
  std::string text;
};

// Records every message, progress report and quit request; answers
// questions from a script (1 when the script is empty).
class RecordingUi : public IInstallUi {
 public:
  RecordingUi();
  ~RecordingUi() override;
  int ShowPopMsg(int type, const char* text) override;
  void SetProgress(int percent) override;
  HWND ProgressWindow() override { return m_window; }
  void PostQuit() override { InterlockedIncrement(&quitCount); }

  std::vector<PopMsg> messages;
  std::vector<int> progress;
  std::deque<int> answers;
  volatile LONG quitCount;
  // When set, SetProgress(pauseAt) signals reachedPause and waits for resume.
  int pauseAt;
  HANDLE reachedPause;
  HANDLE resume;

 private:
  HWND m_window;
};

// The system message box of the file decoder, recorded instead of shown.
void StartRecordingSystemBoxes();
std::vector<std::string> TakeSystemBoxes();

// A data-file module carrying archive as PACKED_DATA 137 (or nothing when
// archive is empty). Released by the destructor.
class PackageModule {
 public:
  explicit PackageModule(const std::vector<uint8_t>& archive, bool withResource = true);
  ~PackageModule();
  HMODULE get() const { return m_module; }

 private:
  HMODULE m_module;
  std::string m_path;
};

// Paths.
std::string WinPath(const char* unixPath);  // "/a/b" -> "Z:\a\b"
std::string MachineTag();                   // "x64" or "x86", like the engine
bool FileExists(const std::string& path);
bool DirExists(const std::string& path);
std::vector<uint8_t> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::string ReadText(const std::string& path);
std::vector<std::string> ListDir(const std::string& dir);  // names, no "." ".."
void RemoveTree(const std::string& path);
// A fresh, empty directory below the temp folder, named after the test.
std::string FreshDir(const std::string& leaf);
std::string SpecialFolderPath(int csidl);
std::string ShortcutTarget(const std::string& link);
std::string IniValue(const std::string& file, const char* section, const char* key);

// Registry (64-bit view).
extern const char kProductKey[];
extern const char kUninstallKey[];
bool ReadMachineString(const char* key, const char* name, std::string* value);
void WriteMachineString(const char* key, const char* name, const char* value);
void DeleteMachineKey(const char* key);
bool ReadAutorun(std::string* value);
void DeleteAutorun();

// The stand-in product.
std::vector<uint8_t> HelperDll(const char* variant = NULL);  // NULL: the full library
std::string ProductTree();                                 // this machine's tree
std::vector<std::string> ProductFiles();                   // relative, "\" separators
std::vector<uint8_t> DemoPackage();
std::vector<uint8_t> DlpInstaller();

// Helper journal lines, split at TAB.
std::vector<std::vector<std::string>> ReadJournal(const std::string& path);

// A small package: helper (variant), five product files, optional DLP member.
PackageContent SmallPackage(const char* helperVariant = NULL);
std::vector<uint8_t> Build(const PackageContent& content);
// Bytes of a product file of SmallPackage for this machine.
std::vector<uint8_t> SmallFileBytes(const std::string& path);
// Lzma86 data of bytes.
std::vector<uint8_t> Lzma(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> Bytes(const std::string& text);

// A package member by member, for packages the writer would refuse to make.
struct RawMember {
  std::string name;
  std::vector<uint8_t> data;  // as stored in the ZIP (already Lzma86 for product members)
  ZipBuilder::MemberOptions options;
};
// The members BuildPackage would write for content (descriptor first).
std::vector<RawMember> RawMembers(const PackageContent& content, unsigned lastIndexAdjust = 0);
std::vector<uint8_t> BuildRaw(const std::vector<RawMember>& members);
std::string DescriptorOf(const PackageContent& content, unsigned lastMemberIndex, bool dlp);
// Every file below dir, relative paths.
std::vector<std::string> ListTree(const std::string& dir);
