#include "invariants.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

std::string slot_fault(int i, const std::string& what) {
    return "slot " + std::to_string(i) + ": " + what;
}

}  // namespace

std::string broken_invariant(const GameWorld& w, const Surface& picture, bool ticked,
                             int previous_level) {
    if (w.level < previous_level) return "level went down to " + std::to_string(w.level);
    if (w.level != std::min(50, w.wins + w.losses)) {
        return "level " + std::to_string(w.level) + " with " + std::to_string(w.wins) +
               " wins and " + std::to_string(w.losses) + " losses";
    }
    for (int i = 0; i <= MAX_SLOT; ++i) {
        if (w.tank_hp[i] < 0 || w.tank_hp[i] > 2) {
            return slot_fault(i, "hit points " + std::to_string(w.tank_hp[i]));
        }
        if (i > w.level && w.tank_hp[i] != 0) return slot_fault(i, "alive above the level");
        if (w.tank_target[i] < 0 || w.tank_target[i] > MAX_SLOT) {
            return slot_fault(i, "target " + std::to_string(w.tank_target[i]));
        }
        if (!(w.tank_speed[i] >= 0 && w.tank_speed[i] <= 3)) {
            return slot_fault(i, "speed " + std::to_string(w.tank_speed[i]));
        }
        if (w.shell_state[i] < 0 || w.shell_state[i] > 25) {
            return slot_fault(i, "shell state " + std::to_string(w.shell_state[i]));
        }
        const bool inside =
            w.tank_x[i] >= 0 &&
            static_cast<float>(w.tank_x[i]) <= static_cast<float>(picture.area_width) &&
            w.tank_y[i] >= 0 &&
            static_cast<float>(w.tank_y[i]) <= static_cast<float>(picture.area_height);
        if (ticked && w.tank_hp[i] > 0 && !inside) {
            return slot_fault(i, "at (" + std::to_string(w.tank_x[i]) + ", " +
                                     std::to_string(w.tank_y[i]) + ") outside the area");
        }
    }
    return {};
}

void abort_on_broken_invariant(const GameWorld& world, const Surface& picture, bool ticked,
                               int& level, int period) {
    const std::string broken = broken_invariant(world, picture, ticked, level);
    if (!broken.empty()) {
        std::fprintf(stderr, "period %d: %s\n", period, broken.c_str());
        std::abort();
    }
    level = world.level;
}
