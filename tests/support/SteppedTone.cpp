// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SteppedTone.h"

#include "support/FileBytes.h"
#include "support/WavFile.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace SteppedTone {

namespace {

constexpr double kStepSeconds = 0.02;
constexpr int kShortestSteps = 3;
// The tone is written at half scale (RMS 0.35); below this a step is silent.
constexpr double kQuietRms = 0.02;
// Frequencies lie 200 Hz apart; a step farther than this from one is no tone of the file.
constexpr double kFrequencySlack = 60;
constexpr int kUnclear = -2;

// What one step of a recording holds: a second of the file, silence, or neither.
int ReadStep(const float* samples, std::size_t count, int rate)
{
    double energy = 0;
    int crossings = 0;
    for (std::size_t i = 0; i < count; ++i) {
        energy += double(samples[i]) * samples[i];
        if (i > 0 && (samples[i - 1] < 0) != (samples[i] < 0))
            ++crossings;
    }
    if (std::sqrt(energy / double(count)) < kQuietRms)
        return kSilence;
    double frequency = crossings / 2.0 / (double(count) / rate);
    int second = int(std::lround((frequency - Frequency(0)) / (Frequency(1) - Frequency(0))));
    if (second < 0 || second >= kSeconds || std::abs(frequency - Frequency(second)) > kFrequencySlack)
        return kUnclear;
    return second;
}

} // namespace

double Frequency(int second)
{
    return 400.0 + 200.0 * second;
}

std::vector<float> Samples()
{
    std::vector<float> samples;
    samples.reserve(std::size_t(kSeconds) * kRate);
    // The phase runs on across the changes, so no step clicks.
    double phase = 0;
    for (int second = 0; second < kSeconds; ++second) {
        for (int i = 0; i < kRate; ++i) {
            samples.push_back(float(0.5 * std::sin(phase)));
            phase = std::fmod(phase + 2 * std::numbers::pi * Frequency(second) / kRate, 2 * std::numbers::pi);
        }
    }
    return samples;
}

void WriteWav(const std::string& path)
{
    WriteFileBytes(path, WavBytes(Samples(), kRate));
}

std::vector<Stretch> Stretches(const std::vector<float>& sound, int rate)
{
    const std::size_t step = std::size_t(rate * kStepSeconds);
    struct Run {
        int what;
        std::size_t first;
        std::size_t steps;
    };
    std::vector<Run> runs;
    for (std::size_t at = 0; at + step <= sound.size(); at += step) {
        int what = ReadStep(sound.data() + at, step, rate);
        if (what == kUnclear)
            continue;
        std::size_t index = at / step;
        if (!runs.empty() && runs.back().what == what)
            runs.back().steps = index + 1 - runs.back().first;
        else
            runs.push_back({what, index, 1});
    }
    std::vector<Stretch> stretches;
    for (const Run& run : runs) {
        if (run.steps < kShortestSteps)
            continue;
        double start = double(run.first) * kStepSeconds;
        double length = double(run.steps) * kStepSeconds;
        if (!stretches.empty() && stretches.back().second == run.what)
            stretches.back().length = start + length - stretches.back().start;
        else
            stretches.push_back({run.what, start, length});
    }
    return stretches;
}

std::vector<Stretch> Heard(const std::vector<Stretch>& stretches)
{
    std::vector<Stretch> heard;
    for (const Stretch& stretch : stretches) {
        if (stretch.second == kSilence)
            continue;
        if (!heard.empty() && heard.back().second == stretch.second)
            heard.back().length = stretch.End() - heard.back().start;
        else
            heard.push_back(stretch);
    }
    return heard;
}

} // namespace SteppedTone
