// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

// Decides from the sound of a take, as it is captured, when the take is over:
// once the speaker has spoken and then been silent for a while, or at the
// longest a take may last. Fed interleaved 16-bit frames in order; works in
// blocks of 10 ms.
class VoiceActivity {
public:
    struct Rules {
        int rate = 44100;
        int channels = 2;
        // Silence after speech that ends the take.
        double silenceToEnd = 0.6;
        // The take ends here in any case.
        double longest = 10;
    };

    explicit VoiceActivity(Rules rules);

    // Takes the next frames; returns true once the take is over (and from
    // then on).
    bool Feed(std::span<const std::int16_t> samples);
    bool Over() const { return m_over; }
    // Speech was heard (at least 100 ms of it).
    bool Spoke() const { return m_speechBlocks >= kSpeechBlocksNeeded; }

private:
    static constexpr int kSpeechBlocksNeeded = 10;

    void EndBlock();

    Rules m_rules;
    std::int64_t m_blockFrames;
    std::int64_t m_silenceBlocksToEnd;
    std::int64_t m_longestFrames;
    std::int64_t m_frames = 0;
    // The block being filled: its frames so far and their sum of squares.
    std::int64_t m_blockFill = 0;
    double m_blockSquares = 0;
    int m_speechBlocks = 0;
    std::int64_t m_silentBlocks = 0;
    bool m_over = false;
};
