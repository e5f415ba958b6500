#include "SystemMessageBox.h"

#include <windows.h>

namespace {
SystemMessageBoxFn g_hook = NULL;
}

SystemMessageBoxFn SetSystemMessageBoxHook(SystemMessageBoxFn hook) {
  SystemMessageBoxFn previous = g_hook;
  g_hook = hook;
  return previous;
}

void ShowSystemMessageBox(const char* text) {
  if (g_hook) {
    g_hook(text);
    return;
  }
  MessageBoxA(NULL, text, NULL, MB_OK);
}
