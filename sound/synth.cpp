#include "sound/synth.h"

#include <algorithm>
#include <cmath>

#include "base/maths.h"
#include "base/world.h"

namespace {

constexpr double FADE_SECONDS = 0.004;  // every note ends in a short fade to silence
constexpr std::uint32_t NOISE_SEED = 0x9E3779B9u;

// The sounds' own noise: a xorshift sequence, the same in every build.
struct Noise {
    std::uint32_t state = NOISE_SEED;
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(static_cast<double>(state) / 2147483648.0 - 1.0);
    }
};

// The step that takes `from` to `to` evenly, by multiplying, in `count` steps.
double ratio_step(double from, double to, double count) {
    return count > 0 ? power(to / from, 1.0 / count) : 1.0;
}

double oscillator(Wave wave, double phase, Noise& noise) {
    switch (wave) {
        case Wave::Square:
            return phase < 0.5 ? 1.0 : -1.0;
        case Wave::Saw:
            return 2 * phase - 1;
        case Wave::Triangle:
            return 4 * std::fabs(phase - 0.5) - 1;
        case Wave::Noise:
            return noise.next();
    }
    return 0;
}

void render_note(const Note& n, Noise& noise, Samples& out) {
    const auto count = static_cast<std::size_t>(n.seconds * SAMPLE_RATE);
    const auto attack = std::max(1.0, n.attack * SAMPLE_RATE);
    const auto fade = FADE_SECONDS * SAMPLE_RATE;
    const double pitch_step = ratio_step(n.pitch_from, n.pitch_to, static_cast<double>(count));
    const double cutoff_step = ratio_step(n.cutoff_from, n.cutoff_to, static_cast<double>(count));
    const double decay_step = power(2.718281828459045, -1.0 / (n.decay * SAMPLE_RATE));
    double pitch = n.pitch_from, cutoff = n.cutoff_from, decayed = 1, phase = 0, filtered = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i);
        const double rise = std::min(1.0, (t + 1) / attack);
        const double end = std::min(1.0, (static_cast<double>(count) - 1 - t) / fade);
        // A one-pole low-pass filter, its coefficient w / (1 + w) for w = 2 pi cutoff / rate.
        const double w = TWO_PI * cutoff / SAMPLE_RATE;
        filtered += w / (1 + w) * (oscillator(n.wave, phase, noise) - filtered);
        out.push_back(static_cast<float>(filtered * n.loudness * rise * decayed * end));
        phase += pitch / SAMPLE_RATE;
        phase -= std::floor(phase);
        pitch *= pitch_step;
        cutoff *= cutoff_step;
        decayed *= decay_step;
    }
}

// Shots: short falling square (the player's) and saw (an enemy's); bursts:
// filtered noise with a long decay, lower and longer for a tank destroyed;
// a short phrase rising for a level won and falling for one lost; and the
// engine's low saw, five whole cycles at 50 Hz so that its loop joins.
const std::vector<Note> RECIPES[SOUND_COUNT] = {
    {{Wave::Square, 0.14, 880, 220, 0.002, 0.05, 6000, 1200, 0.45}},
    {{Wave::Saw, 0.12, 660, 180, 0.002, 0.04, 4000, 900, 0.3}},
    {{Wave::Noise, 0.7, 1, 1, 0.002, 0.14, 3500, 250, 0.7}},
    {{Wave::Triangle, 0.2, 420, 110, 0.001, 0.06, 3000, 400, 0.6},
     {Wave::Noise, 0.15, 1, 1, 0.001, 0.05, 2500, 300, 0.4}},
    {{Wave::Noise, 1.1, 1, 1, 0.004, 0.3, 1400, 90, 0.9}},
    {{Wave::Saw, 0.25, 160, 40, 0.003, 0.2, 1500, 200, 0.5},
     {Wave::Noise, 1.4, 1, 1, 0.004, 0.45, 1000, 60, 1.0}},
    {{Wave::Square, 0.1, 523.25, 523.25, 0.003, 0.2, 5000, 5000, 0.35},
     {Wave::Square, 0.1, 659.26, 659.26, 0.003, 0.2, 5000, 5000, 0.35},
     {Wave::Square, 0.1, 783.99, 783.99, 0.003, 0.2, 5000, 5000, 0.35},
     {Wave::Square, 0.3, 1046.5, 1046.5, 0.003, 0.07, 5000, 2000, 0.35}},
    {{Wave::Square, 0.14, 392, 392, 0.003, 0.2, 4000, 4000, 0.35},
     {Wave::Square, 0.14, 329.63, 329.63, 0.003, 0.2, 4000, 4000, 0.35},
     {Wave::Square, 0.14, 261.63, 261.63, 0.003, 0.2, 4000, 4000, 0.35},
     {Wave::Square, 0.4, 196, 130.81, 0.003, 0.09, 3000, 800, 0.35}},
    {{Wave::Saw, 0.1, 50, 50, 0, 1e9, 500, 500, 0.35}},
};

}  // namespace

const std::vector<Note>& recipe(Sound sound) {
    return RECIPES[static_cast<std::size_t>(sound)];
}

Samples render(const std::vector<Note>& notes) {
    Noise noise;
    Samples out;
    for (const Note& note : notes)
        render_note(note, noise, out);
    return out;
}

SoundBank render_sounds() {
    SoundBank bank;
    for (std::size_t s = 0; s < SOUND_COUNT; ++s)
        bank[s] = render(RECIPES[s]);
    // The engine loops: of three lengths of its wave, the filter settled, the
    // middle one, which joins its own start (no fade at its ends).
    Note engine = recipe(Sound::Engine).front();
    const auto length = static_cast<std::ptrdiff_t>(engine.seconds * SAMPLE_RATE);
    engine.seconds *= 3;
    const Samples three = render({engine});
    bank[static_cast<std::size_t>(Sound::Engine)].assign(three.begin() + length,
                                                         three.begin() + 2 * length);
    return bank;
}
