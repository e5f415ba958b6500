// The folder picker of the install options page.
#pragma once
#include <string>

// The chosen directory's path (a drive root keeps its backslash), or an
// empty string on cancel, a virtual folder or any failure.
std::string BrowseForFolder();
