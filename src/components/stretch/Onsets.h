// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

// Where sudden sounds begin in a stream of samples: a click, a drum hit, the
// burst of a consonant. A millisecond ten times (10 dB) louder than the ten
// before it starts one. The time-stretcher keeps the sound around each onset
// whole, played once: repeated it would be heard twice (a stutter), skipped it
// would be lost.
class Onsets {
public:
    explicit Onsets(int sampleRate);

    // Forgets all sound: the next sample pushed is sample 0.
    void Reset();
    // Examines the next samples (one channel).
    void Push(const float* samples, std::size_t count);
    // Whether samples [begin, end) touch the sound around an onset.
    bool Touch(std::int64_t begin, std::int64_t end) const;
    // Drops the onsets whose sound lies wholly before `sample`.
    void Forget(std::int64_t sample);

private:
    struct Guarded {
        std::int64_t begin;
        std::int64_t end;
    };
    void EndBlock();

    int m_block;
    int m_guardBefore;
    int m_guardAfter;
    std::int64_t m_examined = 0;
    double m_energy = 0;
    int m_inBlock = 0;
    // Mean squares of the blocks before the one being examined, newest last.
    std::deque<double> m_history;
    std::deque<Guarded> m_guarded;
};
