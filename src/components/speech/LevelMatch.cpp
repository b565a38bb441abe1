// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/speech/LevelMatch.h"

#include <algorithm>
#include <cmath>

namespace {

// Held before the gain is decided.
constexpr double kHeldSeconds = 30;
// The level of a recording's loud frames: the 90th percentile of its 10 ms
// frames' levels, leaving out digital silence. The synthesiser's readings
// have theirs near this, in dB of full scale.
constexpr double kFrameSeconds = 0.01;
constexpr double kLoudQuantile = 0.9;
constexpr double kSilenceDb = -80;
constexpr double kSpeechDb = -15;
constexpr double kMostGainDb = 40;
// Speech has pauses: its loud frames stand this far above its quietest tenth.
// Held sound without them (hiss, hum, music) leaves the recording as it is.
constexpr double kQuietQuantile = 0.1;
constexpr double kSpeechContrastDb = 15;

// The level at `quantile` of `levels`, which it reorders.
double Quantile(std::vector<double>& levels, double quantile)
{
    const auto level = levels.begin() + std::ptrdiff_t(quantile * double(levels.size() - 1));
    std::nth_element(levels.begin(), level, levels.end());
    return *level;
}

} // namespace

LevelMatch::LevelMatch(int rate, Output output) : m_rate(rate), m_output(std::move(output)) {}

void LevelMatch::Push(std::span<const float> samples)
{
    if (m_decided) {
        if (m_gain == 1) {
            m_output(samples);
            return;
        }
        m_raised.assign(samples.begin(), samples.end());
        for (float& sample : m_raised)
            sample *= m_gain;
        m_output(m_raised);
        return;
    }
    m_held.insert(m_held.end(), samples.begin(), samples.end());
    if (double(m_held.size()) >= kHeldSeconds * m_rate)
        Decide();
}

void LevelMatch::Finish()
{
    if (!m_decided)
        Decide();
}

void LevelMatch::Decide()
{
    const auto frame = std::max<std::size_t>(1, std::size_t(kFrameSeconds * m_rate));
    std::vector<double> levels, sounding;
    for (std::size_t at = 0; at + frame <= m_held.size(); at += frame) {
        double power = 0;
        for (std::size_t i = at; i < at + frame; ++i)
            power += double(m_held[i]) * m_held[i];
        levels.push_back(10 * std::log10(power / double(frame) + 1e-20));
        if (levels.back() > kSilenceDb)
            sounding.push_back(levels.back());
    }
    if (!sounding.empty()) {
        const double loud = Quantile(sounding, kLoudQuantile);
        if (loud - Quantile(levels, kQuietQuantile) >= kSpeechContrastDb)
            m_gain = float(std::pow(10.0, std::clamp(kSpeechDb - loud, 0.0, kMostGainDb) / 20));
    }
    m_decided = true;
    for (float& sample : m_held)
        sample *= m_gain;
    m_output(m_held);
    m_held = {};
}

std::vector<float> AtSpeechLevel(std::span<const float> samples, int rate)
{
    std::vector<float> raised;
    raised.reserve(samples.size());
    LevelMatch match(rate, [&](std::span<const float> piece) { raised.insert(raised.end(), piece.begin(), piece.end()); });
    match.Push(samples);
    match.Finish();
    return raised;
}
