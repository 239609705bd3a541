#include "base/platform.h"

ColourValue make_colour(std::int16_t red, std::int16_t green, std::int16_t blue) {
    return red + 256 * green + 65536 * blue;
}
