// Shortcut files.
#pragma once

// Writes linkPath as a shell link to targetPath (nothing else set), replacing
// an existing file. 0 when no link object or IPersistFile is available; the
// former shows a system message box.
int CreateShortcut(const char* linkPath, const char* targetPath);
