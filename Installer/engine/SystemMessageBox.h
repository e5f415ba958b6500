// The one message of the engine that bypasses IInstallUi: the file decoder's
// system message box. Replaceable so that tests can see it instead of
// blocking on a real box.
#pragma once

typedef void (*SystemMessageBoxFn)(const char* text);

// Installs a replacement (NULL: the system box again); returns the previous one.
SystemMessageBoxFn SetSystemMessageBoxHook(SystemMessageBoxFn hook);
// MessageBoxA(no owner, text, no caption, MB_OK), or the installed replacement.
void ShowSystemMessageBox(const char* text);
