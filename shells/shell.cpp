#include "shells/shell.h"

void update_shell(GameWorld&, Platform&) {}
