// Moved to params/tuning_scale.h with the rest of the patch model; kept for code that still names this path.
#pragma once

#include "params/tuning_scale.h"
