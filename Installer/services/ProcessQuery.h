// Whether a program is running.
#pragma once

// 1 a process whose executable file name equals name (whole name, case
// folded, code-page aware) exists; 0 otherwise or when processes cannot be listed.
int IsProcessRunning(const char* name);
