// The game's own sounds and its one mixer.
#include "sound/mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tools/headless.h"

namespace {

constexpr std::size_t PERIOD_FRAMES = SAMPLE_RATE * PERIOD_MS / 1000;

float peak(std::span<const float> samples) {
    float most = 0;
    for (const float s : samples) most = std::max(most, std::fabs(s));
    return most;
}

TEST(Synthesis, every_sound_has_its_length_is_heard_peaks_at_most_one_and_falls_to_silence) {
    const struct {
        Sound sound;
        double seconds;
    } rows[] = {{Sound::PlayerShot, 0.14}, {Sound::EnemyShot, 0.12}, {Sound::Burst, 0.7},
                {Sound::Hit, 0.35},        {Sound::Destroyed, 1.1},  {Sound::PlayerDestroyed, 1.65},
                {Sound::LevelWon, 0.6},    {Sound::LevelLost, 0.82}, {Sound::Engine, 0.1}};
    const SoundBank bank = render_sounds();
    for (const auto& row : rows) {
        const Samples& s = bank[static_cast<std::size_t>(row.sound)];
        SCOPED_TRACE(static_cast<int>(row.sound));
        EXPECT_NEAR(static_cast<double>(s.size()) / SAMPLE_RATE, row.seconds, 0.001);
        EXPECT_GT(peak(s), 0.1f) << "heard";
        EXPECT_LE(peak(s), 1.0f);
        if (row.sound == Sound::Engine) {
            float steepest = 0;
            for (std::size_t i = 1; i < s.size(); ++i) steepest = std::max(steepest, std::fabs(s[i] - s[i - 1]));
            EXPECT_LE(std::fabs(s.front() - s.back()), steepest) << "the engine's loop joins its start";
        } else {
            EXPECT_EQ(s.back(), 0.0f);
            EXPECT_LT(peak(std::span(s).last(SAMPLE_RATE / 100)), peak(s) / 10) << "its last 10 ms fade out";
        }
    }
    EXPECT_EQ(render_sounds(), bank) << "the same samples every time";
}

struct Mixing : testing::Test {
    Mixer m;
    Listener middle{.x = 361.5, .y = 325.5, .width = 723, .height = 651};
    std::vector<float> out = std::vector<float>(2 * PERIOD_FRAMES);
    void SetUp() override { mixer_start(m); }
    // The left and right sides' loudness, summed over a period.
    std::pair<double, double> sides(Mixer& mixer) {
        mixer_render(mixer, out);
        double left = 0, right = 0;
        for (std::size_t f = 0; f < out.size(); f += 2) {
            left += std::fabs(out[f]);
            right += std::fabs(out[f + 1]);
        }
        return {left, right};
    }
};

TEST_F(Mixing, a_cue_on_the_left_is_louder_on_the_left_and_quieter_the_farther_it_is) {
    const std::vector<Cue> on_the_left{{CueKind::Burst, 40, 325}};
    mixer_play(m, on_the_left, middle);
    const auto [left, right] = sides(m);
    EXPECT_GT(left, 3 * right);
    Mixer far;
    mixer_start(far);
    mixer_play(far, on_the_left, {.x = 700, .y = 600, .width = 723, .height = 651});
    EXPECT_LT(sides(far).first * 1.5, left);
}

// Past the cap, the quietest voice gives way: a louder cue takes its place,
// a quieter one is not heard.
TEST_F(Mixing, the_same_cue_in_a_period_plays_once_and_louder_and_past_the_cap_the_quietest_gives_way) {
    mixer_play(m, std::vector<Cue>(3, Cue{CueKind::Hit, 361.5, 325.5}), middle);
    ASSERT_EQ(m.voices.size(), 1u);
    EXPECT_NEAR(m.voices[0].left, std::sqrt(3.0) * std::sqrt(0.5), 1e-6);
    for (int period = 0; period < 20; ++period) mixer_play(m, std::vector<Cue>{{CueKind::Destroyed, 700, 600}}, middle);
    EXPECT_EQ(m.voices.size(), MAX_VOICES);
    const auto heard = [&](Sound sound) {
        return std::any_of(m.voices.begin(), m.voices.end(), [&](const Voice& v) { return v.sound == sound; });
    };
    mixer_play(m, std::vector<Cue>{{CueKind::Burst, 361.5, 325.5}, {CueKind::EnemyShot, 723, 651}}, middle);
    EXPECT_EQ(m.voices.size(), MAX_VOICES);
    EXPECT_TRUE(heard(Sound::Burst));
    EXPECT_FALSE(heard(Sound::EnemyShot));
}

TEST_F(Mixing, muted_it_gives_zeros) {
    mixer_play(m, std::vector<Cue>{{CueKind::PlayerDestroyed, 361, 325}}, middle);
    mixer_set_engine(m, 3);
    m.muted = true;
    mixer_render(m, out);
    EXPECT_EQ(peak(out), 0.0f);
}

// Level 50: fifty tanks firing, bursting and dying at once, the engine
// running; of every period's frames, the loudest stays within -1..1.
TEST_F(Mixing, the_loudest_period_of_a_level_50_battle_stays_within_one) {
    m.volume = 1;
    HeadlessBattle battle(random_from_seed(11));
    float loudest = 0, lowest_limit = 1;
    for (int period = 1; period <= 1500; ++period) {
        if (period < 100 && period % 2 == 0) match_take(battle.match, {.kind = InputKind::Click, .button = SmallButton::NextLevel});
        match_take(battle.match, {.kind = InputKind::KeyDown, .key = KeyCode::Up});
        match_run_period(battle.match);
        const GameWorld& w = battle.session.world;
        mixer_play(m, battle.session.cues, {.x = w.tank_x[0], .y = w.tank_y[0], .width = 723, .height = 651});
        mixer_set_engine(m, w.tank_speed[0]);
        mixer_render(m, out);
        loudest = std::max(loudest, peak(out));
        lowest_limit = std::min(lowest_limit, m.limit);
    }
    EXPECT_EQ(battle.session.world.level, 50);
    EXPECT_LE(loudest, 1.0f);
    EXPECT_LT(lowest_limit, 0.8f) << "the limiter met sums well above 1";
}

}  // namespace
