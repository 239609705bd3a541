// 200 000 periods of a level-50 battle under seeded random play, with the
// world's invariants checked after every period.
#include <gtest/gtest.h>

#include <random>

#include "invariants.h"
#include "tools/headless.h"
#include "tools/sim_run.h"

namespace {

using Kind = InputKind;

constexpr int SOAK_PERIODS = 200'000;

// Random play: each period brings one event now and then, of every kind a
// player or the window system can make.
class RandomPlayer {
  public:
    explicit RandomPlayer(std::uint32_t seed) : rng_(seed) {}

    bool next(InputEvent& e, const Surface& picture) {
        const int roll = pick(0, 999);
        const auto w = static_cast<float>(picture.area_width);
        const auto h = static_cast<float>(picture.area_height);
        if (roll < 40) {
            e.kind = pick(0, 1) ? Kind::KeyDown : Kind::KeyUp;
            e.key = static_cast<KeyCode>(pick(37, 40));  // the arrows
        } else if (roll < 120) {
            e.kind = Kind::MouseMove;
            e.x = static_cast<float>(std::uniform_real_distribution<double>(-50, w + 50)(rng_));
            e.y = static_cast<float>(std::uniform_real_distribution<double>(-50, h + 50)(rng_));
        } else if (roll < 140) {
            e.kind = pick(0, 1) ? Kind::MouseDown : Kind::MouseUp;
            e.mouse = pick(0, 3) ? MouseButton::Left : MouseButton::Right;
        } else if (roll < 143) {
            e.kind = Kind::KeyPress;
            e.character = CharCode::LowerP;  // pause; the check below resumes
        } else if (roll < 145) {
            e.kind = Kind::KeyPress;
            e.character = pick(0, 1) ? CharCode::Esc : CharCode::Enter;
        } else if (roll < 146) {
            e.kind = Kind::KeyDown;
            e.key = KeyCode::F1;
        } else if (roll < 148) {
            e.kind = Kind::Click;
            e.button = pick(0, 1) ? SmallButton::Back : SmallButton::Close;
        } else if (roll == 148 && pick(0, 9) == 0) {
            e.kind = Kind::Click;
            e.button = SmallButton::NextLevel;
        } else if (roll == 150) {
            e.kind = Kind::KeyboardLost;
        } else if (roll == 149 && pick(0, 4) == 0) {
            e.kind = Kind::Resize;
            const int size = pick(0, 3);
            e.width = size == 0 ? 1 : size == 1 ? 2000 : pick(1, 2000);
            e.height = size == 0 ? 1 : size == 1 ? 1500 : pick(1, 1500);
        } else {
            return false;
        }
        return true;
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }

  private:
    std::mt19937 rng_;
};

TEST(Soak, a_level_50_battle_under_random_play_keeps_its_invariants_for_200000_periods) {
    HeadlessBattle battle(random_from_seed(424242));
    Session& s = battle.session;
    std::vector<ScriptEvent> events;
    for (int k = 1; k <= 49; ++k) {
        events.push_back({2 * k, {.kind = Kind::Click, .button = SmallButton::NextLevel}});
    }
    RandomPlayer player(77);
    std::size_t next = 0;
    int level = 0, paused_periods = 0;
    for (int period = 1; period <= SOAK_PERIODS; ++period) {
        if (period > 100) {
            events.clear();
            next = 0;
            ScriptEvent e{period, {}};
            if (player.next(e.event, s.picture)) events.push_back(e);
            // A paused battle is resumed after a while, as a player would.
            paused_periods = s.controls.battle_timer_running ? 0 : paused_periods + 1;
            if (paused_periods > 40) {
                const SmallButton back =
                    s.controls.result_window_open ? SmallButton::Back : SmallButton::Close;
                events.push_back({period, {.kind = Kind::Click, .button = back}});
                if (!s.controls.help_window_open && !s.controls.result_window_open) {
                    events.push_back(
                        {period, {.kind = Kind::KeyPress, .character = CharCode::LowerP}});
                }
            }
        }
        const bool ticked = run_scripted_period(battle.match, events, next, period);
        const std::string broken = broken_invariant(s.world, s.picture, ticked, level);
        ASSERT_EQ(broken, "") << "period " << period;
        level = s.world.level;
    }
    EXPECT_FALSE(s.end);
    EXPECT_EQ(s.world.level, 50);
}

}  // namespace
