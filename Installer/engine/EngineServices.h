// The system services the engine uses.
#pragma once
#include "services/Services.h"
