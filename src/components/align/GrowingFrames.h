// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/speech/FeatureFrames.h"

#include <cstdint>
#include <deque>
#include <mutex>

// Feature frames that one thread appends as they are made (a decoder's, a
// synthesiser's) while another reads parts of them: the input of a windowed
// alignment. Each value is held in 16 bits, a float's upper half rounded
// (about three significant digits, plenty for comparing frames), so that ten
// hours of a recording take about 100 MB; the frames a reader is done with
// can be dropped. Every member may be called from any thread.
class GrowingFrames {
public:
    // The first frames appended fix the dimensions and the hop.
    void Append(const FeatureFrames& frames);
    // No frames will be appended any more.
    void Finish();
    bool Finished() const;
    // Frames appended so far, those dropped included.
    std::size_t Count() const;
    // Of the frames appended; 0 before the first.
    double HopSeconds() const;
    // Frames [first, first + count) as floats; first is at least the first
    // frame not dropped, and first + count at most Count().
    FeatureFrames Part(std::size_t first, std::size_t count) const;
    // Frames before `frame` will not be read again.
    void DropBefore(std::size_t frame);

private:
    mutable std::mutex m_mutex;
    std::size_t m_dimensions = 0;
    double m_hop = 0;
    std::size_t m_dropped = 0;  // frames
    std::deque<std::uint16_t> m_values;
    bool m_finished = false;
};
