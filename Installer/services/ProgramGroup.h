// The program group in the Programs menu.
#pragma once

// Creates (or reuses) <user's Programs>\folder and a shortcut for every item
// "target|name.lnk" up to the null entry. An item value not above 0xFFFF is
// a string resource id of the program. 0 only when the folder can be
// neither found nor created.
int CreateProgramGroup(const char* folder, ...);

// Deletes folder from the user's and the all users' Programs menus; always 1.
int RemoveProgramGroup(const char* folder);
