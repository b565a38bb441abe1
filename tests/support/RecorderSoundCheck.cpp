// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/RecorderSoundCheck.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

constexpr double kWindowSeconds = 0.005;
// The tone is recorded at half scale; its windows' RMS is about 0.35.
constexpr double kLoudRms = 0.05;

std::vector<double> WindowRms(const DecodedSound& sound, std::size_t& window)
{
    window = static_cast<std::size_t>(sound.rate * kWindowSeconds);
    std::vector<double> rms;
    for (std::size_t at = 0; window > 0 && at + window <= sound.samples.size(); at += window) {
        double sum = 0;
        for (std::size_t i = at; i < at + window; ++i)
            sum += double(sound.samples[i]) * sound.samples[i];
        rms.push_back(std::sqrt(sum / window));
    }
    return rms;
}

} // namespace

std::string ToneInput(int frequency, double seconds)
{
    // 10 ms buffers, so that a length in seconds is a whole number of them.
    std::ostringstream text;
    text << "audiotestsrc is-live=true wave=sine volume=0.5 samplesperbuffer=441 freq=" << frequency;
    if (seconds > 0)
        text << " num-buffers=" << std::lround(seconds * 100);
    text << " ! capsfilter caps=audio/x-raw,rate=44100,channels=1";
    return text.str();
}

ToneSpan FindTone(const DecodedSound& sound)
{
    std::size_t window = 0;
    const std::vector<double> rms = WindowRms(sound, window);
    std::size_t first = rms.size();
    std::size_t last = 0;
    for (std::size_t i = 0; i < rms.size(); ++i) {
        if (rms[i] < kLoudRms)
            continue;
        first = std::min(first, i);
        last = i;
    }
    if (first == rms.size())
        return {};
    return {double(first * window) / sound.rate, double((last + 1) * window) / sound.rate};
}

double ToneFrequency(const DecodedSound& sound, ToneSpan span)
{
    // Rising zero crossings, each after the wave was clearly negative, so
    // that coding noise around zero adds none; the frequency follows from the
    // time between the first and the last.
    const auto from = static_cast<std::size_t>(span.start * sound.rate);
    const auto to = std::min(sound.samples.size(), static_cast<std::size_t>(span.end * sound.rate));
    bool negative = false;
    int crossings = 0;
    std::size_t first = 0;
    std::size_t last = 0;
    for (std::size_t i = from; i < to; ++i) {
        if (sound.samples[i] < -kLoudRms) {
            negative = true;
        } else if (negative && sound.samples[i] >= 0) {
            negative = false;
            if (crossings++ == 0)
                first = i;
            last = i;
        }
    }
    return crossings > 1 ? double(crossings - 1) * sound.rate / double(last - first) : 0;
}

double LongestQuietStretch(const DecodedSound& sound, ToneSpan span)
{
    std::size_t window = 0;
    const std::vector<double> rms = WindowRms(sound, window);
    const auto from = static_cast<std::size_t>(span.start / kWindowSeconds);
    const auto to = std::min(rms.size(), static_cast<std::size_t>(span.end / kWindowSeconds));
    std::size_t run = 0;
    std::size_t longest = 0;
    for (std::size_t i = from; i < to; ++i) {
        run = rms[i] < kLoudRms ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest * kWindowSeconds;
}
