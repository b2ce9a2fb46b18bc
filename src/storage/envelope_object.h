// Moved to params/envelope_object.h with the rest of the patch model; kept for code that still names this path.
#pragma once

#include "params/envelope_object.h"
