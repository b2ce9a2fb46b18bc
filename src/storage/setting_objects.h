// Moved to params/setting_objects.h with the rest of the patch model; kept for code that still names this path.
#pragma once

#include "params/setting_objects.h"
