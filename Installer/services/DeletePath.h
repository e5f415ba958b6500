// Recursive deletion of a file or a directory tree.
#pragma once

// Deletes what it can; 1 when the path itself is gone, 0 otherwise. A
// directory link (junction, symbolic link) is removed as a link: the content
// of its target is never touched.
int DeletePathRecursive(const char* path);
