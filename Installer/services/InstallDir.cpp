#include "services/InstallDir.h"

#include <windows.h>

#include "services/DirectoryPath.h"
#include "services/Registry.h"

namespace {

// A value that is missing, unreadable or does not fit counts as absent.
bool ReadMachineText(const char* key, const char* name, std::string& text) {
  char buffer[1024] = {0};
  DWORD size = sizeof(buffer);
  if (!RegReadMachineValue(key, name, buffer, &size)) return false;
  buffer[sizeof(buffer) - 1] = '\0';
  if (buffer[0] == '\0') return false;
  text = buffer;
  return true;
}

}  // namespace

std::string GetDefaultInstallDir() {
  std::string dir;
  if (!ReadMachineText("Software\\VanTrel\\MailKorvo_Disk", "InstallPath", dir)) {
    if (!ReadMachineText("Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", dir))
      dir = "C:\\Program Files";
    dir += "\\MailKorvo_Disk";
  }
  CreateDirectoryPath(dir.c_str());
  return dir;
}
