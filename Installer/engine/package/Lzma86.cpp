#include "package/Lzma86.h"
