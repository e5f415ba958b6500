#include "package/MemberName.h"
