// The game's sounds, made by the game itself once at start: no sound file
// comes with it. Each is a note or a phrase of notes, and each note a
// handful of numbers: a wave or noise whose pitch slides from one frequency
// to another, an envelope that rises and decays, and a low-pass filter whose
// cut-off falls. The noise is the sound's own sequence, never the battle's,
// and the arithmetic is the game's own, so every build makes the same
// samples.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

constexpr int SAMPLE_RATE = 48000;  // frames a second

enum class Wave : std::uint8_t { Square, Saw, Triangle, Noise };

struct Note {
    Wave wave = Wave::Square;
    double seconds = 0.1;                         // its length
    double pitch_from = 440, pitch_to = 440;      // Hz, sliding evenly in octaves
    double attack = 0.002;                        // seconds to full loudness
    double decay = 1e9;                           // seconds in which the loudness falls to 1/e
    double cutoff_from = 8000, cutoff_to = 8000;  // the low-pass filter's cut-off, Hz
    double loudness = 0.5;                        // at the peak, at most 1
};

// The sounds, each heard for a cue; the engine is a loop whose pitch follows
// the player's speed.
enum class Sound : std::uint8_t {
    PlayerShot,
    EnemyShot,
    Burst,
    Hit,
    Destroyed,
    PlayerDestroyed,
    LevelWon,
    LevelLost,
    Engine,
};
constexpr std::size_t SOUND_COUNT = 9;

using Samples = std::vector<float>;  // one channel, SAMPLE_RATE a second
using SoundBank = std::array<Samples, SOUND_COUNT>;

// The notes of each sound, one after the other.
const std::vector<Note>& recipe(Sound sound);
// The samples of these notes one after the other, each falling to silence
// at its end.
Samples render(const std::vector<Note>& notes);
// Every sound, rendered; the engine as a loop that joins its end to its start.
SoundBank render_sounds();
