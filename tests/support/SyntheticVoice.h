// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <vector>

// A speech-like buzz whose truth is known: harmonics of a chosen f0 contour
// shaped by three gliding formants and a syllable-like loudness, all
// functions of "score time", so that a take can be rendered with a known
// warp of that time. No language, but enough spectral motion to be aligned.
namespace SyntheticVoice {

constexpr int kRate = 16000;

using Curve = std::function<double(double)>; // of time in seconds

struct Voice {
    Curve f0 = [](double t) { return 120 + 30 * std::sin(2 * std::numbers::pi * 0.7 * t); };
    double fundamentalGain = 1; // under 1: a weak fundamental
    bool formants = true;
    bool syllables = true;
    double amplitude = 0.3;
};

inline double FormantGain(double hz, double t)
{
    const double centres[3] = {550 + 250 * std::sin(2 * std::numbers::pi * 2.3 * t),
                               1500 + 500 * std::sin(2 * std::numbers::pi * 1.7 * t + 1),
                               2500 + 300 * std::sin(2 * std::numbers::pi * 3.1 * t + 2)};
    double gain = 0.02;
    for (const double centre : centres) {
        const double width = 0.08 * centre + 60;
        gain += 1 / (1 + std::pow((hz - centre) / width, 2));
    }
    return gain;
}

// `seconds` of real time; `scoreTime` maps each real instant to the score's.
inline std::vector<float> Render(const Voice& voice, double seconds, const Curve& scoreTime = [](double t) { return t; },
                                 int rate = kRate)
{
    std::vector<float> samples(std::size_t(seconds * rate));
    double phase = 0; // in cycles
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double s = scoreTime(double(i) / rate);
        const double f0 = voice.f0(s);
        const int harmonics = int(0.45 * rate / f0);
        double value = 0;
        for (int k = 1; k <= harmonics; ++k) {
            const double gain = (k == 1 ? voice.fundamentalGain : 1.0) / k *
                                (voice.formants ? FormantGain(k * f0, s) : 1.0);
            value += gain * std::sin(2 * std::numbers::pi * k * phase);
        }
        const double loudness =
            voice.syllables ? 0.15 + 0.85 * std::pow(std::sin(std::numbers::pi * 3.3 * s), 2) : 1.0;
        samples[i] = float(voice.amplitude * 0.5 * loudness * value);
        phase += f0 / rate;
        phase -= std::floor(phase);
    }
    return samples;
}

inline std::vector<float> Noise(double seconds, double rms, unsigned seed = 7, int rate = kRate)
{
    std::mt19937 random(seed);
    std::normal_distribution<float> normal(0.0f, float(rms));
    std::vector<float> samples(std::size_t(seconds * rate));
    for (float& sample : samples)
        sample = normal(random);
    return samples;
}

inline double Rms(const std::vector<float>& samples)
{
    double sum = 0;
    for (const float sample : samples)
        sum += double(sample) * sample;
    return samples.empty() ? 0 : std::sqrt(sum / double(samples.size()));
}

} // namespace SyntheticVoice
