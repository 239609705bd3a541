// Built against the tanks' library alone: its own header builds, the tick's,
// a layer up, must not.
#include "battle/tick.h"
#include "tanks/steering.h"
