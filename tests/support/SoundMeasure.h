// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <span>
#include <vector>

// Sounds whose timing and pitch can be read back from what was played or
// heard, and the readings, for the tests and benchmarks of playback speed.

// Whether a sample is silence (what a sound server's monitor records while
// nothing plays, and the quiet between bursts).
inline bool IsSilent(float sample)
{
    return sample < 1e-4f && sample > -1e-4f;
}

// Short bursts of white noise ("clicks", 5 ms) every 250 ms from 0 on,
// `seconds` long, at `rate`.
std::vector<float> BurstTrain(double seconds, int rate);
constexpr double kBurstSeconds = 0.005;
constexpr double kBurstPeriod = 0.25;

// The frequency of a steady tone, from its first and last rising zero
// crossings (placed between samples): accurate to a few parts in ten
// thousand over 100 ms. Zero when the samples cross less than twice.
double ToneFrequency(std::span<const float> samples, int rate);

// Where the sound lies in `samples`: its first sample and the one just past
// its last; first == last when all is silent.
struct SoundSpan {
    std::size_t first = 0;
    std::size_t last = 0;
};
SoundSpan FindSound(std::span<const float> samples);

// A burst of sound between silences (3 ms of silence or more apart): where it
// starts, and how long its level (1 ms RMS) stays at half its peak or above.
struct Burst {
    std::size_t start = 0;
    double widthSeconds = 0;
};
std::vector<Burst> FindBursts(std::span<const float> samples, int rate);
double MedianWidth(const std::vector<Burst>& bursts);
