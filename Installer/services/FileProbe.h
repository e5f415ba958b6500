// Existence and directory tests over GetFileAttributesA (no shlwapi).
#pragma once

int PathExists(const char* path);      // 1 something exists at path
int PathIsDirectory(const char* path); // 1 path is a directory (a directory link included)
