// The install log: one plain-text file per day under the user's
// application-data folder, one line per call, LF-terminated, no time stamp.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

// Formats the message (printf conventions) and appends it with one LF. The
// first call of the process opens the day's file; if that fails every line
// of the process is dropped. Never reports anything.
void AppendLogLine(const char* format, ...);

// The pieces the writer is made of, open for tests.

// Log directory "<appData>\Vantrel\Install\Log" and file "<dir>\YYYYMMDD.log";
// one trailing backslash of appData is dropped.
void BuildLogPaths(const char* appData, int year, int month, int day,
                   std::string& dir, std::string& file);

// Creates the directory chain and opens the file for appending: no sharing,
// inheritable handle, existing content kept. INVALID_HANDLE_VALUE on failure.
HANDLE OpenLogFileAt(const char* dir, const char* file);

// Appends text (length bytes) and one LF at the end of the file.
void WriteLogLine(HANDLE file, const char* text, size_t length);
