// Moved to params/program.h with the rest of the patch model; kept for code that still names this path.
#pragma once

#include "params/program.h"
