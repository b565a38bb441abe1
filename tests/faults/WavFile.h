#pragma once

#include <cmath>
#include <cstdint>
#include <string>

// A mono 16-bit 44.1 kHz WAV file of a sine tone, made byte by byte: media
// for the player without a media framework in the test. `declaredSeconds`
// longer than `seconds` makes a truncated file, whose header promises more
// than it holds.
inline std::string WavBytes(double seconds, double declaredSeconds = 0)
{
    constexpr std::uint32_t kRate = 44100;
    const auto frames = static_cast<std::uint32_t>(seconds * kRate);
    const auto declaredFrames = static_cast<std::uint32_t>(std::max(seconds, declaredSeconds) * kRate);
    std::string bytes;
    auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes += static_cast<char>((value >> (8 * i)) & 0xff);
    };
    bytes += "RIFF";
    put(36 + declaredFrames * 2, 4);
    bytes += "WAVEfmt ";
    put(16, 4);
    put(1, 2); // PCM
    put(1, 2); // mono
    put(kRate, 4);
    put(kRate * 2, 4);
    put(2, 2);
    put(16, 2);
    bytes += "data";
    put(declaredFrames * 2, 4);
    for (std::uint32_t i = 0; i < frames; ++i)
        put(static_cast<std::uint16_t>(static_cast<std::int16_t>(8000 * std::sin(i * 2 * M_PI * 440 / kRate))), 2);
    return bytes;
}
