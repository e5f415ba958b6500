// Creation of a directory together with every missing parent.
#pragma once

// 1 the directory exists or its last level was created, 0 otherwise
// (an empty or null path included).
int CreateDirectoryPath(const char* path);
