// ZarIdaveVaruDor.dll stand-in: the drive helper library the setup loads from
// the install directory. It does none of the real work (no drive, no
// Explorer); it records every call and answers what the test asks for.
//
// Journal: when the environment variable ZARIDAVE_JOURNAL names a file, each
// call of an export appends exactly one line to it (the file is created when
// missing). A line is the export's name followed by its arguments in call
// order, all separated by one TAB (0x09), ended by one LF (0x0A), no CR:
//
//   StopDriveWork\t<hwnd>\t<a>\t<b>\t<c>
//   MsgCloseProThatUsingDesFiles\t<hwnd>\t<files>\t<out>
//   Uninstall4PrepareInstall\t<n>\t<desktopLink>\t<startupLink>
//   Install\t<hwnd>\t<installPath>\t<flag>
//   PostSetupEvent\t<url>\t<flag>
//   TerminateExplorerProcess
//   CreateExplorerProcess
//   OpenDriveRoot\t<path>
//
// <hwnd> is 1 for a non-null window handle and 0 for null; integers are
// decimal; strings are copied byte for byte (GBK stays GBK), a null string
// pointer is written as (null). Example, as the setup calls it first:
//   "StopDriveWork\t1\t0\t0\t2\n"
//
// Results: each export returns the integer in the environment variable
// ZARIDAVE_RESULT_<export name> (e.g. ZARIDAVE_RESULT_StopDriveWork=1), read
// at call time; 0 when it is not set. Both variables are read on every call,
// so a test can change them between calls.
//
// The variants that lack exports are built from this file with their own
// .def files; the functions stay compiled in but are not exported.
#include <windows.h>
#include <stdlib.h>
#include <string.h>

namespace {

// Growing byte buffer on the process heap; no C++ run-time needed.
class LineBuf {
public:
  LineBuf() : data_(NULL), len_(0), cap_(0), ok_(true) {}
  ~LineBuf() { if (data_) HeapFree(GetProcessHeap(), 0, data_); }

  void Add(const char* s, size_t n)
  {
    if (!ok_) return;
    if (len_ + n > cap_) {
      size_t want = (len_ + n) * 2 + 64;
      void* p = data_ ? HeapReAlloc(GetProcessHeap(), 0, data_, want)
                      : HeapAlloc(GetProcessHeap(), 0, want);
      if (!p) { ok_ = false; return; }
      data_ = static_cast<char*>(p);
      cap_ = want;
    }
    memcpy(data_ + len_, s, n);
    len_ += n;
  }
  void Str(const char* s) { if (s) Add(s, strlen(s)); else Add("(null)", 6); }
  void Field(const char* s) { Add("\t", 1); Str(s); }
  void Int(int v)
  {
    char t[16];
    wsprintfA(t, "\t%d", v);
    Str(t);
  }
  void Hwnd(HWND h) { Add(h ? "\t1" : "\t0", 2); }

  bool ok() const { return ok_; }
  const char* data() const { return data_; }
  size_t size() const { return len_; }

private:
  LineBuf(const LineBuf&);
  LineBuf& operator=(const LineBuf&);
  char* data_;
  size_t len_, cap_;
  bool ok_;
};

// Owner of one file handle.
class FileHandle {
public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() { if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_); }
  HANDLE get() const { return h_; }
private:
  FileHandle(const FileHandle&);
  FileHandle& operator=(const FileHandle&);
  HANDLE h_;
};

void Journal(LineBuf& line)
{
  char path[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("ZARIDAVE_JOURNAL", path, sizeof(path));
  if (n == 0 || n >= sizeof(path)) return;
  line.Add("\n", 1);
  if (!line.ok()) return;
  // Append access only: every write goes to the end, even when another
  // process has the journal open as well.
  FileHandle f(CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
  if (f.get() == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(f.get(), line.data(), (DWORD)line.size(), &written, NULL);
}

int Result(const char* exportName)
{
  char name[96] = "ZARIDAVE_RESULT_";
  lstrcatA(name, exportName);
  char value[32];
  DWORD n = GetEnvironmentVariableA(name, value, sizeof(value));
  if (n == 0 || n >= sizeof(value)) return 0;
  return (int)strtol(value, NULL, 10);
}

}  // namespace

extern "C" {

int WINAPI StopDriveWork(HWND wnd, int a, int b, int c)
{
  LineBuf l;
  l.Str("StopDriveWork");
  l.Hwnd(wnd);
  l.Int(a);
  l.Int(b);
  l.Int(c);
  Journal(l);
  return Result("StopDriveWork");
}

int WINAPI MsgCloseProThatUsingDesFiles(HWND wnd, const char* files, const char* out)
{
  LineBuf l;
  l.Str("MsgCloseProThatUsingDesFiles");
  l.Hwnd(wnd);
  l.Field(files);
  l.Field(out);
  Journal(l);
  return Result("MsgCloseProThatUsingDesFiles");
}

int WINAPI Uninstall4PrepareInstall(int n, const char* desktopLink, const char* startupLink)
{
  LineBuf l;
  l.Str("Uninstall4PrepareInstall");
  l.Int(n);
  l.Field(desktopLink);
  l.Field(startupLink);
  Journal(l);
  return Result("Uninstall4PrepareInstall");
}

int WINAPI Install(HWND wnd, const char* installPath, const char* flag)
{
  LineBuf l;
  l.Str("Install");
  l.Hwnd(wnd);
  l.Field(installPath);
  l.Field(flag);
  Journal(l);
  return Result("Install");
}

int WINAPI PostSetupEvent(const char* url, const char* flag)
{
  LineBuf l;
  l.Str("PostSetupEvent");
  l.Field(url);
  l.Field(flag);
  Journal(l);
  return Result("PostSetupEvent");
}

int WINAPI TerminateExplorerProcess(void)
{
  LineBuf l;
  l.Str("TerminateExplorerProcess");
  Journal(l);
  return Result("TerminateExplorerProcess");
}

int WINAPI CreateExplorerProcess(void)
{
  LineBuf l;
  l.Str("CreateExplorerProcess");
  Journal(l);
  return Result("CreateExplorerProcess");
}

int WINAPI OpenDriveRoot(const char* path)
{
  LineBuf l;
  l.Str("OpenDriveRoot");
  l.Field(path);
  Journal(l);
  return Result("OpenDriveRoot");
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

}  // extern "C"
