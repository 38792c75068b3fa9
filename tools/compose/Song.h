#pragma once

#include <vector>

// The soundtrack's timeline: 120 BPM in 4/4, sections on bar lines.
namespace song {

constexpr int SAMPLE_RATE = 44100;
constexpr double BEAT = 0.5;
constexpr double BAR = 4 * BEAT;
constexpr double INTRO_END = 12.0;
constexpr double BUILD_END = 28.0;
constexpr double CLIMAX_END = 44.0;
constexpr double FADE_END = 56.0;
// The demo runs 58 s; the track ends a little later so that it never stops early.
constexpr double LENGTH = 58.5;
// Peak level of the finished mix (about -1 dBFS), headroom for the MP3 encoder.
constexpr double PEAK = 0.89;

// Stereo samples in [-1, 1], one vector per channel.
struct Stereo {
    std::vector<float> left;
    std::vector<float> right;
};

// Composes and renders the whole track; the same output on every call.
Stereo render();

// Writes the samples as a 16-bit PCM WAV file; false if the file cannot be written.
bool write_wav(const Stereo& audio, const char* path);

}
