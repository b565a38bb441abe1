// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/speech/FeatureFrames.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// Dynamic time warping of two feature sequences: the cheapest monotone path
// of frame pairs from both firsts to both lasts, each step moving on in one
// sequence or both. Found coarse to fine: the sequences are halved until they
// are short, aligned whole there, and each finer alignment is searched only
// within `radius` frames of the coarser path, so that time and memory grow
// with the length times the radius, never with the product of the lengths
// (ten hours at 100 frames a second fit in a few hundred MB).

struct FramePair {
    std::uint32_t a;
    std::uint32_t b;
    bool operator==(const FramePair&) const = default;
};

struct FrameAlignment {
    std::vector<FramePair> path; // from {0, 0} to {a.Count() - 1, b.Count() - 1}; empty when either is empty
    double cost = 0;             // the sum of the Euclidean distances along the path
};

FrameAlignment AlignFrames(const FeatureFrames& a, const FeatureFrames& b, std::size_t radius = 16);

// The median distance between frames of a and of b taken evenly through
// both, whatever belongs together: what a path's mean distance is compared
// with to tell whether the two say the same at all.
double UnrelatedDistance(const FeatureFrames& a, const FeatureFrames& b);

// Each two frames in a row as their mean (an odd last one as itself): the
// sequence at half the time resolution.
FeatureFrames Halved(const FeatureFrames& frames);

// Where in b the whole of a is found (a text's reading within a recording
// that also says other things): the first and last frame of b matched.
// Every frame of a is matched once and b moves on by 0 to `longestStep`
// frames each time, so no stretch of b has to be matched at all and the cost
// favours no length of match. The whole matrix, a byte a cell: for
// sequences of a few thousand frames. None when either is empty.
std::optional<std::pair<std::uint32_t, std::uint32_t>> LocateWithin(const FeatureFrames& a, const FeatureFrames& b,
                                                                    std::uint8_t longestStep = 3);
