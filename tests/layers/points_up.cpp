// Built against the tanks' library alone: its own header builds, the tick's,
// a layer up, must not.
#include "tanks/steering.h"
#include "battle/tick.h"
