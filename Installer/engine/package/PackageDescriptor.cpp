#include "package/PackageDescriptor.h"
