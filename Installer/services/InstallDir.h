// The directory proposed for the installation.
#pragma once
#include <string>

// The recorded InstallPath of an earlier installation, else the native
// program files directory (or "C:\Program Files") + "\MailKorvo_Disk".
// The directory is created; failure to create it is not reported.
std::string GetDefaultInstallDir();
