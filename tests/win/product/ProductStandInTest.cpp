// Tests of the product stand-ins the engine's tests build on: the drive
// helper library (exports by plain name, journal lines, results chosen by
// environment), its variants lacking exports, the two product trees, and the
// DLP installer and --wait behaviour of the programs.
//
// A plain check program rather than GoogleTest: the win32-thread mingw
// run-time has no std::mutex, which GoogleTest's Windows build needs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Minimal test harness: named cases, checks that report and go on.
struct Case {
  const char* name;
  void (*fn)();
};
std::vector<Case>& Cases()
{
  static std::vector<Case> cases;
  return cases;
}
struct Registrar {
  Registrar(const char* name, void (*fn)()) { Cases().push_back(Case{name, fn}); }
};
int g_failures = 0;
bool g_skipped = false;
std::string g_trace;

struct Trace {
  explicit Trace(const std::string& t) : saved(g_trace) { g_trace = t; }
  ~Trace() { g_trace = saved; }
  std::string saved;
};

bool Report(bool ok, const char* what, const char* file, int line, const std::string& detail)
{
  if (!ok) {
    ++g_failures;
    std::cout << file << ":" << line << ": check failed: " << what;
    if (!g_trace.empty()) std::cout << " [" << g_trace << "]";
    if (!detail.empty()) std::cout << "\n    " << detail;
    std::cout << std::endl;
  }
  return ok;
}

std::ostream& operator<<(std::ostream& o, const std::vector<std::string>& v)
{
  for (const std::string& s : v) o << s << "|";
  return o;
}

template <typename A, typename B>
bool CheckEq(const A& a, const B& b, const char* what, const char* file, int line)
{
  std::ostringstream d;
  bool ok = a == b;
  if (!ok) d << "expected: " << a << "\n    actual:   " << b;
  return Report(ok, what, file, line, d.str());
}

#define TEST_CASE(name)                          \
  void name();                                   \
  Registrar name##_registrar(#name, &name);      \
  void name()
#define CHECK(c) Report((c), #c, __FILE__, __LINE__, "")
#define CHECK_EQ(expected, actual) CheckEq((expected), (actual), #expected " == " #actual, __FILE__, __LINE__)
#define REQUIRE(c) do { if (!CHECK(c)) return; } while (0)

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
    Report(lib_.get() != NULL, "LoadLibrary of the helper", __FILE__, __LINE__, dll);
  }
  ~HelperFixture() { DeleteFileA(journal_.c_str()); }
  bool ok() const { return lib_.get() != NULL; }
  template <typename F> F Fn(const char* name)
  {
    FARPROC p = lib_.Proc(name);
    Report(p != NULL, "export present", __FILE__, __LINE__, name);
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

TEST_CASE(HelperJournalsOneLinePerCallWithItsArguments)
{
  HelperFixture h;
  REQUIRE(h.ok());
  HWND wnd = GetDesktopWindow();
  REQUIRE(wnd != NULL);
  // GBK bytes of a Chinese shortcut name must reach the journal unchanged.
  const char* desktopLink = "C:\\Users\\Public\\Desktop\\Korvo邮箱网盘.lnk";
  std::string expected;
  CHECK_EQ(0, h.Fn<StopDriveWorkFn>("StopDriveWork")(wnd, 0, 0, 2));
  expected += "StopDriveWork\t1\t0\t0\t2\n";
  CHECK_EQ(0, h.Fn<StopDriveWorkFn>("StopDriveWork")(NULL, -1, 7, 0));
  expected += "StopDriveWork\t0\t-1\t7\t0\n";
  char empty[1] = "";
  CHECK_EQ(0, h.Fn<HwndStrStrFn>("MsgCloseProThatUsingDesFiles")(wnd, "C:\\P\\a.dll|C:\\P\\b.exe", empty));
  expected += "MsgCloseProThatUsingDesFiles\t1\tC:\\P\\a.dll|C:\\P\\b.exe\t\n";
  CHECK_EQ(0, h.Fn<IntStrStrFn>("Uninstall4PrepareInstall")(0, desktopLink, "C:\\Startup\\x.lnk"));
  expected += std::string("Uninstall4PrepareInstall\t0\t") + desktopLink + "\tC:\\Startup\\x.lnk\n";
  CHECK_EQ(0, h.Fn<HwndStrStrFn>("Install")(wnd, "C:\\Program Files\\MailKorvo_Disk", "1"));
  expected += "Install\t1\tC:\\Program Files\\MailKorvo_Disk\t1\n";
  CHECK_EQ(0, h.Fn<StrStrFn>("PostSetupEvent")("http://h/file/disk?func=disk:virtual&cmd=actionlog", "1"));
  expected += "PostSetupEvent\thttp://h/file/disk?func=disk:virtual&cmd=actionlog\t1\n";
  CHECK_EQ(0, h.Fn<VoidFn>("TerminateExplorerProcess")());
  expected += "TerminateExplorerProcess\n";
  CHECK_EQ(0, h.Fn<VoidFn>("CreateExplorerProcess")());
  expected += "CreateExplorerProcess\n";
  CHECK_EQ(0, h.Fn<StrFn>("OpenDriveRoot")("D:\\Disk"));
  expected += "OpenDriveRoot\tD:\\Disk\n";
  CHECK_EQ(expected, h.Journal());
}

TEST_CASE(HelperWritesNullStringsAsMarker)
{
  HelperFixture h;
  REQUIRE(h.ok());
  h.Fn<HwndStrStrFn>("Install")(NULL, NULL, "1");
  h.Fn<StrFn>("OpenDriveRoot")(NULL);
  CHECK_EQ(std::string("Install\t0\t(null)\t1\nOpenDriveRoot\t(null)\n"), h.Journal());
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

TEST_CASE(HelperResultComesFromEnvironmentAtCallTime)
{
  HelperFixture h;
  REQUIRE(h.ok());
  StopDriveWorkFn stop = h.Fn<StopDriveWorkFn>("StopDriveWork");
  StrFn open = h.Fn<StrFn>("OpenDriveRoot");
  REQUIRE(stop && open);
  CHECK_EQ(0, stop(NULL, 0, 0, 2));
  {
    ScopedEnv e("ZARIDAVE_RESULT_StopDriveWork", "1");
    CHECK_EQ(1, stop(NULL, 0, 0, 2));
    CHECK_EQ(0, open("x"));  // a result variable applies to its own export only
  }
  {
    ScopedEnv e("ZARIDAVE_RESULT_StopDriveWork", "-3");
    CHECK_EQ(-3, stop(NULL, 0, 0, 2));
  }
  CHECK_EQ(0, stop(NULL, 0, 0, 2));
  for (const char* name : kAllExports) {
    Trace t(name);
    std::string var = std::string("ZARIDAVE_RESULT_") + name;
    ScopedEnv e(var.c_str(), "42");
    FARPROC p = h.Proc(name);
    if (!CHECK(p != NULL)) continue;
    CHECK_EQ(42, CallAny(p, name));
  }
  // One journal line per call, whatever the result.
  std::string text = h.Journal();
  CHECK_EQ(5u + 8u, (unsigned)std::count(text.begin(), text.end(), '\n'));
}

TEST_CASE(HelperWritesNoJournalWithoutVariable)
{
  HelperFixture h;
  REQUIRE(h.ok());
  SetEnvironmentVariableA("ZARIDAVE_JOURNAL", NULL);
  h.Fn<VoidFn>("TerminateExplorerProcess")();
  CHECK(!FileExists(h.journal()));
}

TEST_CASE(HelperAppendsToExistingJournal)
{
  HelperFixture h;
  REQUIRE(h.ok());
  { std::ofstream(h.journal().c_str(), std::ios::binary) << "earlier\n"; }
  h.Fn<VoidFn>("CreateExplorerProcess")();
  CHECK_EQ(std::string("earlier\nCreateExplorerProcess\n"), h.Journal());
}

struct VariantCase {
  const char* variant;
  std::vector<std::string> missing;
};

TEST_CASE(HelperVariantsLackExactlyTheirExports)
{
  const VariantCase cases[] = {
      {"no-install", {"Install", "PostSetupEvent"}},
      {"no-stopdrive", {"StopDriveWork"}},
      {"no-createexplorer", {"CreateExplorerProcess"}},
      {"no-opendriveroot", {"OpenDriveRoot"}},
  };
  for (const VariantCase& c : cases) {
    Trace t(c.variant);
    HelperFixture h(WinPath(std::string(HELPER_VARIANTS_DIR) + "/" + c.variant + "/ZarIdaveVaruDor.dll"));
    if (!h.ok()) continue;
    for (const char* name : kAllExports) {
      Trace t2(std::string(c.variant) + " " + name);
      bool missing = std::find(c.missing.begin(), c.missing.end(), name) != c.missing.end();
      FARPROC p = h.Proc(name);
      CHECK_EQ(!missing, p != NULL);
      // Same source: the exports a variant has behave as in the full library.
      if (p) CHECK_EQ(0, CallAny(p, name));
    }
    std::string text = h.Journal();
    CHECK_EQ(8u - (unsigned)c.missing.size(), (unsigned)std::count(text.begin(), text.end(), '\n'));
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

TEST_CASE(ProductFilesListInPackageOrder)
{
  const std::vector<std::string> expected = {
      "KorvoNetDiskLink.exe", "vtdnd.dll", "vtdndConfig.ini", "ExVtdnd.dll", "FileWatch.dll",
      "MailNotify.dll", "ZozOrerEduvaz.ini", "VerIruzAviz.exe", "DarEzazOrevu.exe",
      "VtMailKorvoDownload.dll", "ToolBox.dll", "unins000.exe", "update.exe",
      "Drive/vista/MailKorvoDrive.dll", "Drive/xp/MailKorvoDrive.dll"};
  CHECK_EQ(expected, ProductFiles());
}

TEST_CASE(ProductBinariesAreBuiltForTheirMachineAndNamed)
{
  struct Tree { const char* dir; const char* tag; unsigned machine; };
  const Tree trees[] = {{PRODUCT_X86_TREE, "x86", 0x14c}, {PRODUCT_X64_TREE, "x64", 0x8664}};
  for (const Tree& t : trees) {
    for (const std::string& rel : ProductFiles()) {
      Trace tr(std::string(t.tag) + " " + rel);
      std::string bytes = ReadFileBytes(WinPath(std::string(t.dir) + "/" + rel));
      if (!CHECK(!bytes.empty())) continue;
      if (rel.size() > 4 && rel.compare(rel.size() - 4, 4, ".ini") == 0) {
        CHECK_EQ(0u, PeMachine(bytes));
        continue;
      }
      CHECK_EQ(t.machine, PeMachine(bytes));
      std::string mark = "MailKorvo stand-in: " + rel + " " + t.tag;
      CHECK(bytes.find(mark) != std::string::npos);
    }
  }
  CHECK_EQ(0x14cu, PeMachine(ReadFileBytes(WinPath(HELPER_DLL))));
}

TEST_CASE(ProductIniFilesHoldPackageDefaults)
{
  for (const char* dir : {PRODUCT_X86_TREE, PRODUCT_X64_TREE}) {
    std::string vt = WinPath(std::string(dir) + "/vtdndConfig.ini");
    std::string web = WinPath(std::string(dir) + "/ZozOrerEduvaz.ini");
    Trace t(dir);
    CHECK_EQ(0u, GetPrivateProfileIntA("vtdnd", "enableLog", 99, vt.c_str()));
    CHECK_EQ(1u, GetPrivateProfileIntA("vtdnd", "logLevel", 99, vt.c_str()));
    char buf[512];
    CHECK(GetPrivateProfileStringA("Web", "LoginURL", "", buf, sizeof(buf), web.c_str()) > 0);
    CHECK(GetPrivateProfileStringA("Web", "LoginUrlList", "", buf, sizeof(buf), web.c_str()) > 0);
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
#define REQUIRE_64BIT_WINDOWS()                                      \
  do {                                                              \
    if (!On64BitWindows()) {                                        \
      std::cout << "  skipped: x64 stand-ins need 64-bit Windows\n"; \
      g_skipped = true;                                             \
      return;                                                       \
    }                                                               \
  } while (0)

TEST_CASE(DlpSetupJournalsArgumentsAndExitsWithChosenCode)
{
  REQUIRE_64BIT_WINDOWS();
  std::string exe = WinPath(DLP_SETUP_X64);
  std::string journal = TempFile("dlp");
  ScopedEnv j("DLP_JOURNAL", journal.c_str());
  CHECK_EQ(1u, RunToEnd(exe, "-Silent"));
  {
    ScopedEnv c("DLP_EXIT_CODE", "0");
    CHECK_EQ(0u, RunToEnd(exe, "-Silent"));
  }
  {
    ScopedEnv c("DLP_EXIT_CODE", "5");
    CHECK_EQ(5u, RunToEnd(exe, ""));
  }
  std::string line = exe + "\t-Silent\n";
  std::string text = ReadFileBytes(journal);
  CHECK_EQ(line + line + exe + "\t\n", text);
  DeleteFileA(journal.c_str());
}

TEST_CASE(DlpSetupWaitsWhenAsked)
{
  REQUIRE_64BIT_WINDOWS();
  ScopedEnv w("DLP_WAIT_MS", "1500");
  HANDLE p = Start(WinPath(DLP_SETUP_X64), "-Silent");
  REQUIRE(p != NULL);
  CHECK_EQ(WAIT_TIMEOUT, WaitForSingleObject(p, 300));
  CHECK_EQ(WAIT_OBJECT_0, WaitForSingleObject(p, 30000));
  CloseHandle(p);
}

TEST_CASE(ProgramExitsAtOnceOrStaysForWait)
{
  REQUIRE_64BIT_WINDOWS();
  std::string exe = WinPath(std::string(PRODUCT_X64_TREE) + "/VerIruzAviz.exe");
  CHECK_EQ(0u, RunToEnd(exe, ""));
  CHECK_EQ(0u, RunToEnd(exe, "--other 5"));
  HANDLE p = Start(exe, "--wait 2");
  REQUIRE(p != NULL);
  CHECK_EQ(WAIT_TIMEOUT, WaitForSingleObject(p, 500));
  CHECK_EQ(WAIT_OBJECT_0, WaitForSingleObject(p, 30000));
  DWORD code = 1;
  GetExitCodeProcess(p, &code);
  CHECK_EQ(0u, code);
  CloseHandle(p);
}

}  // namespace

int main()
{
  for (const Case& c : Cases()) {
    g_skipped = false;
    int before = g_failures;
    std::cout << "[ RUN      ] " << c.name << std::endl;
    c.fn();
    const char* result = g_failures != before ? "[  FAILED  ] " : g_skipped ? "[  SKIPPED ] " : "[       OK ] ";
    std::cout << result << c.name << std::endl;
  }
  std::cout << Cases().size() << " cases, " << g_failures << " failed checks" << std::endl;
  return g_failures == 0 ? 0 : 1;
}
