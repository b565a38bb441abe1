// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

// A recording's samples raised to the level speech features are made for,
// whatever level it was recorded at: the features' floor under each band is
// absolute, so a quiet recording's soft sounds (and at worst its words) would
// sink under it. The first seconds are held until their loud frames tell the
// gain; from then on every sample passes at once. A recording at that level
// or louder passes as it is. Not for use from two threads at once.
class LevelMatch {
public:
    using Output = std::function<void(std::span<const float>)>;
    LevelMatch(int rate, Output output);

    // Mono samples in -1..1.
    void Push(std::span<const float> samples);
    // The sound has ended: what is held goes out.
    void Finish();
    // 1 until it is known.
    float Gain() const { return m_gain; }

private:
    void Decide();

    int m_rate;
    Output m_output;
    std::vector<float> m_held;    // until the gain is decided
    std::vector<float> m_raised;  // a piece after that, times the gain
    bool m_decided = false;
    float m_gain = 1;
};

// A whole sound at once, raised as a LevelMatch would raise it.
std::vector<float> AtSpeechLevel(std::span<const float> samples, int rate);
