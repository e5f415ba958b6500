/* Imports msimg32 statically, as the setup must not: shows that a planted
   msimg32.dll beside a program is loaded when it is imported that way. */
#include <windows.h>

int main(void) {
  return AlphaBlend != NULL ? 0 : 1;
}
