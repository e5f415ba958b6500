#include "services/FolderPicker.h"

#include <windows.h>
#include <shlobj.h>

#ifndef BIF_NEWDIALOGSTYLE
#define BIF_NEWDIALOGSTYLE 0x0040
#endif

std::string BrowseForFolder() {
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator)) || !allocator) return std::string();
  OleInitialize(nullptr);  // the new dialog style needs OLE; already done is fine

  char display[MAX_PATH] = {0};
  BROWSEINFOA info;
  ZeroMemory(&info, sizeof(info));
  info.hwndOwner = nullptr;
  info.pidlRoot = nullptr;
  info.pszDisplayName = display;
  info.lpszTitle = "选择安装目录";
  info.ulFlags = BIF_NEWDIALOGSTYLE | BIF_EDITBOX;  // 0x50

  std::string result;
  LPITEMIDLIST item = SHBrowseForFolderA(&info);
  if (item) {
    char path[MAX_PATH] = {0};
    if (SHGetPathFromIDListA(item, path)) result = path;
    allocator->Free(item);
  }
  allocator->Release();
  return result;
}
