// Machine type of the running system.
#pragma once

int IsNative64BitOS();  // 1 the native processor is AMD64 or IA-64
int IsWow64();          // 1 this process runs under WOW64
