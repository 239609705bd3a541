// The one mixer beneath the front ends: voices that play the rendered
// sounds, each panned by its place across the field and quieter the farther
// it is from the player's tank, the player's engine, a master volume and
// mute, and a limiter that keeps the sum within -1..1. It touches no device:
// the match asks it for the next frames, which the front end hands to its
// sound device.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include "base/cue.h"
#include "sound/synth.h"

constexpr std::size_t MAX_VOICES = 8;     // past this many, the quietest voice gives way
constexpr double HEARING_DISTANCE = 250;  // a sound this far from the player is at half loudness

struct Voice {
    Sound sound = Sound::Burst;
    std::size_t at = 0;  // the next sample
    float left = 0;      // gains
    float right = 0;
};

// Where the sounds are heard from: the player's tank, on a field this large.
struct Listener {
    double x = 0, y = 0;
    double width = 1, height = 1;
};

struct Mixer {
    SoundBank sounds;           // rendered once, at start
    std::vector<Voice> voices;  // at most MAX_VOICES
    double engine_at = 0;       // where in its loop the engine is, in samples
    double engine_rate = 0;     // samples of its loop a frame; 0: silent
    float engine_gain = 0;      // follows engine_rate's silence smoothly
    float volume = 0.8f;        // the master volume, 0..1
    bool muted = false;
    float limit = 1;  // the limiter's gain, 1 while the sum stays within -1..1
    std::array<int, SOUND_COUNT> started{};  // voices started of each sound, heard or not
    std::vector<float> left, right;          // the sum of the voices, while it is mixed
};

// Starts with no voice and the engine silent, the sounds rendered (the first
// time), the volume and mute as they were.
void mixer_start(Mixer& mixer);
// Stops every voice and the engine at once.
void mixer_silence(Mixer& mixer);
// Plays a battle period's cues as heard at `listener`: each kind of cue once,
// louder the more of it came, from where it is loudest.
void mixer_play(Mixer& mixer, std::span<const Cue> cues, const Listener& listener);
// The player's engine at `speed` (drawing units a tick, 0..3); silent at 0.
void mixer_set_engine(Mixer& mixer, double speed);
// Writes the next frames, left and right in turn, each within -1..1; zeros
// while muted, when what was playing stops.
void mixer_render(Mixer& mixer, std::span<float> stereo);
// Whether the next frames can be other than silence: not muted, and a voice
// plays or the engine runs or fades out.
bool mixer_sounding(const Mixer& mixer);
