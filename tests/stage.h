// What the game's procedures draw on and draw from, for tests: a white
// picture of the design size, a seeded random sequence, and the next-level
// request the tick takes.
#pragma once

#include <utility>
#include <vector>

#include "battle/tick.h"

struct Stage {
    explicit Stage(int width = DESIGN_WIDTH, int height = DESIGN_HEIGHT) {
        surface_set_area(picture, width, height, 1);
    }
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;

    void record_draws() { picture.draw_log = &draws; }
    void use_randoms(std::vector<float> numbers) { random = random_from_list(std::move(numbers)); }
    void tick(GameWorld& world) { on_tick(world, picture, random, next_level_requested); }

    Surface picture;
    RandomSource random = random_from_seed(1);
    std::vector<DrawOp> draws;
    bool next_level_requested = false;
};
