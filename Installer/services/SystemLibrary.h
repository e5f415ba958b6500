// Loading of system libraries for a program that runs elevated from a
// downloads folder, where a DLL planted beside it must never be loaded.
#pragma once
#include <windows.h>

// Restricts the DLL search of every later load in the process, the system's
// own loads included, to the system directory where Windows can (Windows 7
// with KB2533623 and later). No effect on older systems.
void RestrictDllSearchToSystem();

// Loads a library of the system directory by its full path; NULL on failure.
// For the libraries that may not be imported statically (gdiplus, msimg32,
// comctl32, ...).
HMODULE LoadSystemLibrary(const char* fileName);
