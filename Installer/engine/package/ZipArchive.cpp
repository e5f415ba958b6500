#include "package/ZipArchive.h"
