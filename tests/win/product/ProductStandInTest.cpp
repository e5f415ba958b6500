// Tests of the product stand-ins the engine's tests build on: the drive
// helper library (exports by plain name, journal lines, results chosen by
// environment), its variants lacking exports, the two product trees, and the
// DLP installer and --wait behaviour of the programs.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Build paths are Unix paths; Wine maps the root to drive Z:.
std::string WinPath(const std::string& unixPath)
{
  std::string p = "Z:" + unixPath;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

std::string ReadFileBytes(const std::string& path)
{
  std::ifstream in(path.c_str(), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool FileExists(const std::string& path)
{
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TempFile(const char* prefix)
{
  char dir[MAX_PATH], name[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  GetTempFileNameA(dir, prefix, 0, name);
  DeleteFileA(name);
  return name;
}

// Sets an environment variable for the test's scope, removing it afterwards.
class ScopedEnv {
public:
  ScopedEnv(const char* name, const char* value) : name_(name) { SetEnvironmentVariableA(name, value); }
  ~ScopedEnv() { SetEnvironmentVariableA(name_.c_str(), NULL); }
private:
  std::string name_;
};

class Library {
public:
  explicit Library(const std::string& path) : h_(LoadLibraryA(path.c_str())) {}
  ~Library() { if (h_) FreeLibrary(h_); }
  HMODULE get() const { return h_; }
  FARPROC Proc(const char* name) const { return GetProcAddress(h_, name); }
private:
  Library(const Library&);
  Library& operator=(const Library&);
  HMODULE h_;
};

typedef int(WINAPI* StopDriveWorkFn)(HWND, int, int, int);
typedef int(WINAPI* HwndStrStrFn)(HWND, const char*, const char*);
typedef int(WINAPI* IntStrStrFn)(int, const char*, const char*);
typedef int(WINAPI* StrStrFn)(const char*, const char*);
typedef int(WINAPI* VoidFn)(void);
typedef int(WINAPI* StrFn)(const char*);

const char* const kAllExports[] = {
    "StopDriveWork", "MsgCloseProThatUsingDesFiles", "Uninstall4PrepareInstall", "Install",
    "PostSetupEvent", "TerminateExplorerProcess", "CreateExplorerProcess", "OpenDriveRoot"};

// Loads the helper with a fresh journal; the journal variable is removed and
// the library freed when the fixture ends.
class HelperFixture {
public:
  explicit HelperFixture(const std::string& dll = WinPath(HELPER_DLL))
      : journal_(TempFile("zdj")), env_("ZARIDAVE_JOURNAL", journal_.c_str()), lib_(dll)
  {
    if (!lib_.get()) ADD_FAILURE() << "LoadLibrary failed: " << dll << ", error " << GetLastError();
  }
  ~HelperFixture() { DeleteFileA(journal_.c_str()); }
  bool ok() const { return lib_.get() != NULL; }
  template <typename F> F Fn(const char* name)
  {
    FARPROC p = lib_.Proc(name);
    EXPECT_TRUE(p != NULL) << name;
    return reinterpret_cast<F>(p);
  }
  std::string Journal() const { return ReadFileBytes(journal_); }
  const std::string& journal() const { return journal_; }
  FARPROC Proc(const char* name) const { return lib_.Proc(name); }

private:
  std::string journal_;
  ScopedEnv env_;
  Library lib_;
};

TEST(Helper, JournalsOneLinePerCallWithItsArguments)
{
  HelperFixture h;
  ASSERT_TRUE(h.ok());
  HWND wnd = GetDesktopWindow();
  ASSERT_TRUE(wnd != NULL);
  // GBK bytes of a Chinese shortcut name must reach the journal unchanged.
  const char* desktopLink = "C:\\Users\\Public\\Desktop\\Korvo邮箱网盘.lnk";
  std::string expected;
  EXPECT_EQ(0, h.Fn<StopDriveWorkFn>("StopDriveWork")(wnd, 0, 0, 2));
  expected += "StopDriveWork\t1\t0\t0\t2\n";
  EXPECT_EQ(0, h.Fn<StopDriveWorkFn>("StopDriveWork")(NULL, -1, 7, 0));
  expected += "StopDriveWork\t0\t-1\t7\t0\n";
  char empty[1] = "";
  EXPECT_EQ(0, h.Fn<HwndStrStrFn>("MsgCloseProThatUsingDesFiles")(wnd, "C:\\P\\a.dll|C:\\P\\b.exe", empty));
  expected += "MsgCloseProThatUsingDesFiles\t1\tC:\\P\\a.dll|C:\\P\\b.exe\t\n";
  EXPECT_EQ(0, h.Fn<IntStrStrFn>("Uninstall4PrepareInstall")(0, desktopLink, "C:\\Startup\\x.lnk"));
  expected += std::string("Uninstall4PrepareInstall\t0\t") + desktopLink + "\tC:\\Startup\\x.lnk\n";
  EXPECT_EQ(0, h.Fn<HwndStrStrFn>("Install")(wnd, "C:\\Program Files\\MailKorvo_Disk", "1"));
  expected += "Install\t1\tC:\\Program Files\\MailKorvo_Disk\t1\n";
  EXPECT_EQ(0, h.Fn<StrStrFn>("PostSetupEvent")("http://h/file/disk?func=disk:virtual&cmd=actionlog", "1"));
  expected += "PostSetupEvent\thttp://h/file/disk?func=disk:virtual&cmd=actionlog\t1\n";
  EXPECT_EQ(0, h.Fn<VoidFn>("TerminateExplorerProcess")());
  expected += "TerminateExplorerProcess\n";
  EXPECT_EQ(0, h.Fn<VoidFn>("CreateExplorerProcess")());
  expected += "CreateExplorerProcess\n";
  EXPECT_EQ(0, h.Fn<StrFn>("OpenDriveRoot")("D:\\Disk"));
  expected += "OpenDriveRoot\tD:\\Disk\n";
  EXPECT_EQ(expected, h.Journal());
}

TEST(Helper, WritesNullStringsAsMarker)
{
  HelperFixture h;
  ASSERT_TRUE(h.ok());
  h.Fn<HwndStrStrFn>("Install")(NULL, NULL, "1");
  h.Fn<StrFn>("OpenDriveRoot")(NULL);
  EXPECT_EQ(std::string("Install\t0\t(null)\t1\nOpenDriveRoot\t(null)\n"), h.Journal());
}

// Calls an export with harmless arguments of its signature.
int CallAny(FARPROC p, const std::string& name)
{
  if (name == "StopDriveWork") return reinterpret_cast<StopDriveWorkFn>(p)(NULL, 0, 0, 2);
  if (name == "MsgCloseProThatUsingDesFiles" || name == "Install")
    return reinterpret_cast<HwndStrStrFn>(p)(NULL, "a", "b");
  if (name == "Uninstall4PrepareInstall") return reinterpret_cast<IntStrStrFn>(p)(0, "a", "b");
  if (name == "PostSetupEvent") return reinterpret_cast<StrStrFn>(p)("a", "b");
  if (name == "OpenDriveRoot") return reinterpret_cast<StrFn>(p)("a");
  return reinterpret_cast<VoidFn>(p)();
}

TEST(Helper, ResultComesFromEnvironmentAtCallTime)
{
  HelperFixture h;
  ASSERT_TRUE(h.ok());
  StopDriveWorkFn stop = h.Fn<StopDriveWorkFn>("StopDriveWork");
  StrFn open = h.Fn<StrFn>("OpenDriveRoot");
  ASSERT_TRUE(stop && open);
  EXPECT_EQ(0, stop(NULL, 0, 0, 2));
  {
    ScopedEnv e("ZARIDAVE_RESULT_StopDriveWork", "1");
    EXPECT_EQ(1, stop(NULL, 0, 0, 2));
    EXPECT_EQ(0, open("x"));  // a result variable applies to its own export only
  }
  {
    ScopedEnv e("ZARIDAVE_RESULT_StopDriveWork", "-3");
    EXPECT_EQ(-3, stop(NULL, 0, 0, 2));
  }
  EXPECT_EQ(0, stop(NULL, 0, 0, 2));
  for (const char* name : kAllExports) {
    SCOPED_TRACE(name);
    std::string var = std::string("ZARIDAVE_RESULT_") + name;
    ScopedEnv e(var.c_str(), "42");
    FARPROC p = h.Proc(name);
    EXPECT_TRUE(p != NULL);
    if (!p) continue;
    EXPECT_EQ(42, CallAny(p, name));
  }
  // One journal line per call, whatever the result.
  std::string text = h.Journal();
  EXPECT_EQ(5u + 8u, (unsigned)std::count(text.begin(), text.end(), '\n'));
}

TEST(Helper, WritesNoJournalWithoutVariable)
{
  HelperFixture h;
  ASSERT_TRUE(h.ok());
  SetEnvironmentVariableA("ZARIDAVE_JOURNAL", NULL);
  h.Fn<VoidFn>("TerminateExplorerProcess")();
  EXPECT_TRUE(!FileExists(h.journal()));
}

TEST(Helper, AppendsToExistingJournal)
{
  HelperFixture h;
  ASSERT_TRUE(h.ok());
  { std::ofstream(h.journal().c_str(), std::ios::binary) << "earlier\n"; }
  h.Fn<VoidFn>("CreateExplorerProcess")();
  EXPECT_EQ(std::string("earlier\nCreateExplorerProcess\n"), h.Journal());
}

struct VariantCase {
  const char* variant;
  std::vector<std::string> missing;
};

TEST(HelperVariants, LackExactlyTheirExports)
{
  const VariantCase cases[] = {
      {"no-install", {"Install", "PostSetupEvent"}},
      {"no-stopdrive", {"StopDriveWork"}},
      {"no-createexplorer", {"CreateExplorerProcess"}},
      {"no-opendriveroot", {"OpenDriveRoot"}},
  };
  for (const VariantCase& c : cases) {
    SCOPED_TRACE(c.variant);
    HelperFixture h(WinPath(std::string(HELPER_VARIANTS_DIR) + "/" + c.variant + "/ZarIdaveVaruDor.dll"));
    if (!h.ok()) continue;
    for (const char* name : kAllExports) {
      SCOPED_TRACE(std::string(c.variant) + " " + name);
      bool missing = std::find(c.missing.begin(), c.missing.end(), name) != c.missing.end();
      FARPROC p = h.Proc(name);
      EXPECT_EQ(!missing, p != NULL);
      // Same source: the exports a variant has behave as in the full library.
      if (p) EXPECT_EQ(0, CallAny(p, name));
    }
    std::string text = h.Journal();
    EXPECT_EQ(8u - (unsigned)c.missing.size(), (unsigned)std::count(text.begin(), text.end(), '\n'));
  }
}

// Machine field of a PE image, 0 when the bytes are no PE image.
unsigned PeMachine(const std::string& image)
{
  if (image.size() < 0x40 || image[0] != 'M' || image[1] != 'Z') return 0;
  unsigned pe = *reinterpret_cast<const unsigned*>(&image[0x3c]);
  if (pe + 6 > image.size() || image.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return 0;
  return *reinterpret_cast<const unsigned short*>(&image[pe + 4]);
}

std::vector<std::string> ProductFiles()
{
  std::vector<std::string> files;
  std::istringstream in(ReadFileBytes(WinPath(PRODUCT_FILES_TXT)));
  std::string line;
  while (std::getline(in, line))
    if (!line.empty()) files.push_back(line);
  return files;
}

TEST(ProductTree, FilesListInPackageOrder)
{
  const std::vector<std::string> expected = {
      "KorvoNetDiskLink.exe", "vtdnd.dll", "vtdndConfig.ini", "ExVtdnd.dll", "FileWatch.dll",
      "MailNotify.dll", "ZozOrerEduvaz.ini", "VerIruzAviz.exe", "DarEzazOrevu.exe",
      "VtMailKorvoDownload.dll", "ToolBox.dll", "unins000.exe", "update.exe",
      "Drive/vista/MailKorvoDrive.dll", "Drive/xp/MailKorvoDrive.dll"};
  EXPECT_EQ(expected, ProductFiles());
}

TEST(ProductTree, BinariesAreBuiltForTheirMachineAndNamed)
{
  struct Tree { const char* dir; const char* tag; unsigned machine; };
  const Tree trees[] = {{PRODUCT_X86_TREE, "x86", 0x14c}, {PRODUCT_X64_TREE, "x64", 0x8664}};
  for (const Tree& t : trees) {
    for (const std::string& rel : ProductFiles()) {
      SCOPED_TRACE(std::string(t.tag) + " " + rel);
      std::string bytes = ReadFileBytes(WinPath(std::string(t.dir) + "/" + rel));
      EXPECT_FALSE(bytes.empty());
      if (bytes.empty()) continue;
      if (rel.size() > 4 && rel.compare(rel.size() - 4, 4, ".ini") == 0) {
        EXPECT_EQ(0u, PeMachine(bytes));
        continue;
      }
      EXPECT_EQ(t.machine, PeMachine(bytes));
      std::string mark = "MailKorvo stand-in: " + rel + " " + t.tag;
      EXPECT_TRUE(bytes.find(mark) != std::string::npos);
    }
  }
  EXPECT_EQ(0x14cu, PeMachine(ReadFileBytes(WinPath(HELPER_DLL))));
}

TEST(ProductTree, IniFilesHoldPackageDefaults)
{
  for (const char* dir : {PRODUCT_X86_TREE, PRODUCT_X64_TREE}) {
    std::string vt = WinPath(std::string(dir) + "/vtdndConfig.ini");
    std::string web = WinPath(std::string(dir) + "/ZozOrerEduvaz.ini");
    SCOPED_TRACE(dir);
    EXPECT_EQ(0u, GetPrivateProfileIntA("vtdnd", "enableLog", 99, vt.c_str()));
    EXPECT_EQ(1u, GetPrivateProfileIntA("vtdnd", "logLevel", 99, vt.c_str()));
    char buf[512];
    EXPECT_TRUE(GetPrivateProfileStringA("Web", "LoginURL", "", buf, sizeof(buf), web.c_str()) > 0);
    EXPECT_TRUE(GetPrivateProfileStringA("Web", "LoginUrlList", "", buf, sizeof(buf), web.c_str()) > 0);
  }
}

bool On64BitWindows()
{
  BOOL wow = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow) && wow;
}

// Starts a program and returns its process handle (owned by the caller).
HANDLE Start(const std::string& exe, const std::string& args)
{
  std::string cmd = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
  std::vector<char> line(cmd.begin(), cmd.end());
  line.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(exe.c_str(), &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) return NULL;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

DWORD RunToEnd(const std::string& exe, const std::string& args)
{
  HANDLE p = Start(exe, args);
  if (!p) return 0xFFFFFFFFu;
  WaitForSingleObject(p, 60000);
  DWORD code = 0xFFFFFFFFu;
  GetExitCodeProcess(p, &code);
  CloseHandle(p);
  return code;
}

// Starting a 32-bit program costs close to a minute on this test machine's
// emulated 32-bit Wine; the x64 builds share the sources and start at once.
#define REQUIRE_64BIT_WINDOWS() \
  if (!On64BitWindows()) GTEST_SKIP() << "x64 stand-ins need 64-bit Windows"

TEST(DlpSetupStandIn, JournalsArgumentsAndExitsWithChosenCode)
{
  REQUIRE_64BIT_WINDOWS();
  std::string exe = WinPath(DLP_SETUP_X64);
  std::string journal = TempFile("dlp");
  ScopedEnv j("DLP_JOURNAL", journal.c_str());
  EXPECT_EQ(1u, RunToEnd(exe, "-Silent"));
  {
    ScopedEnv c("DLP_EXIT_CODE", "0");
    EXPECT_EQ(0u, RunToEnd(exe, "-Silent"));
  }
  {
    ScopedEnv c("DLP_EXIT_CODE", "5");
    EXPECT_EQ(5u, RunToEnd(exe, ""));
  }
  std::string line = exe + "\t-Silent\n";
  std::string text = ReadFileBytes(journal);
  EXPECT_EQ(line + line + exe + "\t\n", text);
  DeleteFileA(journal.c_str());
}

TEST(DlpSetupStandIn, WaitsWhenAsked)
{
  REQUIRE_64BIT_WINDOWS();
  ScopedEnv w("DLP_WAIT_MS", "1500");
  HANDLE p = Start(WinPath(DLP_SETUP_X64), "-Silent");
  ASSERT_TRUE(p != NULL);
  EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(p, 300));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(p, 30000));
  CloseHandle(p);
}

TEST(ProgramStandIn, ExitsAtOnceOrStaysForWait)
{
  REQUIRE_64BIT_WINDOWS();
  std::string exe = WinPath(std::string(PRODUCT_X64_TREE) + "/VerIruzAviz.exe");
  EXPECT_EQ(0u, RunToEnd(exe, ""));
  EXPECT_EQ(0u, RunToEnd(exe, "--other 5"));
  HANDLE p = Start(exe, "--wait 2");
  ASSERT_TRUE(p != NULL);
  EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(p, 500));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(p, 30000));
  DWORD code = 1;
  GetExitCodeProcess(p, &code);
  EXPECT_EQ(0u, code);
  CloseHandle(p);
}

}  // namespace
