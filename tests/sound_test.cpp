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
    for (const float s : samples)
        most = std::max(most, std::fabs(s));
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
            for (std::size_t i = 1; i < s.size(); ++i)
                steepest = std::max(steepest, std::fabs(s[i] - s[i - 1]));
            EXPECT_LE(std::fabs(s.front() - s.back()), steepest)
                << "the engine's loop joins its start";
        } else {
            EXPECT_EQ(s.back(), 0.0f);
            EXPECT_LT(peak(std::span(s).last(SAMPLE_RATE / 100)), peak(s) / 10)
                << "its last 10 ms fade out";
        }
    }
    EXPECT_EQ(render_sounds(), bank) << "the same samples every time";
}

struct Mixing : testing::Test {
    Mixer m;
    Listener middle{.x = 361.5, .y = 325.5, .width = 723, .height = 651};
    std::vector<float> out = std::vector<float>(2 * PERIOD_FRAMES);
    void SetUp() override { mixer_start(m); }
    // The left and right sides' loudness over the next period.
    std::pair<float, float> sides(Mixer& mixer) {
        mixer_render(mixer, out);
        std::pair<float, float> loud;
        for (std::size_t f = 0; f < out.size(); f += 2) {
            loud.first += std::fabs(out[f]);
            loud.second += std::fabs(out[f + 1]);
        }
        return loud;
    }
};

TEST_F(Mixing,
       a_cue_on_the_left_is_louder_on_the_left_quieter_the_farther_it_is_and_unheard_muted) {
    const std::vector<Cue> on_the_left{{CueKind::Burst, 40, 325}};
    Mixer far, muted;
    for (Mixer* mixer : {&far, &muted})
        mixer_start(*mixer);
    mixer_play(m, on_the_left, middle);
    mixer_play(far, on_the_left, {.x = 700, .y = 600, .width = 723, .height = 651});
    mixer_play(muted, on_the_left, middle);
    muted.muted = true;
    const auto [left, right] = sides(m);
    EXPECT_GT(left, 3 * right);
    EXPECT_LT(sides(far).first * 1.5, left);
    EXPECT_EQ(sides(muted), std::pair(0.0f, 0.0f));
}

// The engine: the same on both sides while the tank moves, higher the faster
// it goes (its waveform crossing zero more often), silent once it stands.
TEST_F(Mixing,
       the_engine_is_heard_while_the_tank_moves_higher_the_faster_and_silent_once_it_stands) {
    std::vector<float> quarter_second(10 * out.size());
    const auto crossings = [&](double speed) {
        mixer_set_engine(m, speed);
        mixer_render(m, quarter_second);  // past its fading in or out
        mixer_render(m, quarter_second);
        int count = 0;
        for (std::size_t f = 2; f < quarter_second.size(); f += 2)
            count += (quarter_second[f - 2] < 0) != (quarter_second[f] < 0);
        return count;
    };
    const int crawling = crossings(0.5);
    EXPECT_GT(crawling, 10);
    EXPECT_GT(crossings(3), 2 * crawling);
    const auto [left, right] = sides(m);
    EXPECT_EQ(left, right);
    crossings(0);
    EXPECT_EQ(sides(m), std::pair(0.0f, 0.0f));
}

// Past the cap, the quietest voice gives way: a louder cue takes its place,
// a quieter one is not heard.
TEST_F(Mixing,
       the_same_cue_in_a_period_plays_once_and_louder_and_past_the_cap_the_quietest_gives_way) {
    mixer_play(m, std::vector<Cue>(3, Cue{CueKind::Hit, 361.5, 325.5}), middle);
    ASSERT_EQ(m.voices.size(), 1u);
    EXPECT_NEAR(m.voices[0].left, std::sqrt(3.0) * std::sqrt(0.5), 1e-6);
    for (int period = 0; period < 20; ++period)
        mixer_play(m, std::vector<Cue>{{CueKind::Destroyed, 700, 600}}, middle);
    EXPECT_EQ(m.voices.size(), MAX_VOICES);
    const auto heard = [&](Sound sound) {
        return std::any_of(m.voices.begin(), m.voices.end(),
                           [&](const Voice& v) { return v.sound == sound; });
    };
    mixer_play(m, std::vector<Cue>{{CueKind::Burst, 361.5, 325.5}, {CueKind::EnemyShot, 723, 651}},
               middle);
    EXPECT_EQ(m.voices.size(), MAX_VOICES);
    EXPECT_TRUE(heard(Sound::Burst));
    EXPECT_FALSE(heard(Sound::EnemyShot));
}

// Level 50, as its match sounds it: fifty tanks firing, bursting and dying
// at once, the engine running; of every period's frames, the loudest stays
// within -1..1.
TEST_F(Mixing, the_loudest_period_of_a_level_50_battle_stays_within_one) {
    HeadlessBattle battle(random_from_seed(11));
    battle.match.mixer.volume = 1;
    float loudest = 0, lowest_limit = 1;
    for (int period = 1; period <= 1500; ++period) {
        if (period < 100 && period % 2 == 0)
            match_take(battle.match, {.kind = InputKind::Click, .button = SmallButton::NextLevel});
        match_take(battle.match, {.kind = InputKind::KeyDown, .key = KeyCode::Up});
        match_run_period(battle.match);
        match_sound(battle.match, out);
        loudest = std::max(loudest, peak(out));
        lowest_limit = std::min(lowest_limit, battle.match.mixer.limit);
    }
    EXPECT_EQ(battle.session.world.level, 50);
    EXPECT_LE(loudest, 1.0f);
    EXPECT_LT(lowest_limit, 0.8f) << "the limiter met sums well above 1";
}

}  // namespace
