// A match without a display, for tests and tools: its front end shows
// nothing, and what the match opened, closed or ended is read from the
// session itself (or noted by a front end of a test's, made from this one).
#pragma once

#include <utility>

#include "match/match.h"

class HeadlessFrontEnd : public FrontEnd {
  public:
    void show_picture(std::span<const PixelBox>) override {}
    void open_result_window(ResultScore) override {}
    void open_help_window() override {}
    void close_small_window(SmallWindow) override {}
    void move_focus(SmallWindow, int) override {}
    void press_focused(SmallWindow) override {}
    void show_replay(std::string_view, int, int) override {}
    void rumble(double, int) override {}
    void keep_muted(bool) override {}
    void keep_vibration_off(bool) override {}
    void end_program(int, std::string_view) override {}
};

// A battle played on a headless front end, its drawing area width x height
// units at one pixel to a unit, not kept unless asked.
struct HeadlessBattle {
    explicit HeadlessBattle(RandomSource random, int width = DESIGN_WIDTH,
                            int height = DESIGN_HEIGHT, Kept kept = Kept::No) {
        match_start_game(match, front_end, std::move(random), width, height, 1, kept);
    }
    HeadlessBattle(const HeadlessBattle&) = delete;
    HeadlessBattle& operator=(const HeadlessBattle&) = delete;

    HeadlessFrontEnd front_end;
    Match match;
    Session& session = match.session;
};
