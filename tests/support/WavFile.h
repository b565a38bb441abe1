// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

// Mono 16-bit PCM WAV files made byte by byte: media for the window and the
// player with a content the test knows, without a media framework.

// A WAV file of `samples` (-1..1) at `rate`. A `declaredFrames` larger than
// the samples makes a truncated file, whose header promises more than it holds.
inline std::string WavBytes(const std::vector<float>& samples, int rate, std::size_t declaredFrames = 0)
{
    const auto frames = static_cast<std::uint32_t>(std::max(samples.size(), declaredFrames));
    std::string bytes;
    auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes += static_cast<char>((value >> (8 * i)) & 0xff);
    };
    bytes += "RIFF";
    put(36 + frames * 2, 4);
    bytes += "WAVEfmt ";
    put(16, 4);
    put(1, 2); // PCM
    put(1, 2); // mono
    put(static_cast<std::uint32_t>(rate), 4);
    put(static_cast<std::uint32_t>(rate) * 2, 4);
    put(2, 2);
    put(16, 2);
    bytes += "data";
    put(frames * 2, 4);
    for (float sample : samples) {
        const auto value = static_cast<std::int16_t>(std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767));
        put(static_cast<std::uint16_t>(value), 2);
    }
    return bytes;
}

// A 440 Hz tone at 44.1 kHz, `seconds` long (`declaredSeconds`: see WavBytes).
inline std::string ToneWavBytes(double seconds, double declaredSeconds = 0)
{
    constexpr int kRate = 44100;
    std::vector<float> samples(static_cast<std::size_t>(seconds * kRate));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = float(0.25 * std::sin(double(i) * 2 * std::numbers::pi * 440 / kRate));
    return WavBytes(samples, kRate, static_cast<std::size_t>(declaredSeconds * kRate));
}
