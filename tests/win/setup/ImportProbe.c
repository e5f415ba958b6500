/* Imports msimg32 statically, as the setup must not: shows that a planted
   msimg32.dll beside a program is loaded when it is imported that way. */
#include <windows.h>

int main(void) {
  /* A volatile copy keeps the import: a plain address test folds away. */
  void* volatile alphaBlend = (void*)AlphaBlend;
  return alphaBlend != NULL ? 0 : 1;
}
