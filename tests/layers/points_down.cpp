// Built against the tanks' library alone: its own headers and those below build.
#include "base/world.h"
#include "tanks/steering.h"
