// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/align/SpokenAlignment.h"

#include "components/speech/FrameAlignment.h"
#include "components/speech/Mfcc.h"

#include <algorithm>

namespace {

// Frames into a sentence's sound where the warp is sure of it.
constexpr std::size_t kSureFrames = 3;

// The text's reading is looked for in the recording at 40 ms a frame.
constexpr std::size_t kHalvings = 2;
constexpr std::size_t kCoarse = std::size_t(1) << kHalvings;
// Within the first and last minute of the synthetic reading ...
constexpr std::size_t kEdgeFrames = 1500;
// ... and in as much recording as the reading at half its speed, plus up to
// two minutes of introduction or closing words.
constexpr std::size_t kExtraFrames = 3000;

FeatureFrames Coarse(FeatureFrames frames)
{
    for (std::size_t i = 0; i < kHalvings; ++i)
        frames = Halved(frames);
    return frames;
}

// The frames of `heard` from where the reading of `synthetic` begins in it to
// where it ends: only the first and the last minute are looked for, so that
// this stays small for a book.
std::pair<std::size_t, std::size_t> ReadingWithin(const FeatureFrames& synthetic, const FeatureFrames& heard)
{
    const FeatureFrames a = Coarse(synthetic);
    const FeatureFrames b = Coarse(heard);
    const std::size_t edge = std::min(a.Count(), kEdgeFrames);
    const std::size_t room = std::min(b.Count(), 2 * edge + kExtraFrames);
    const auto head = LocateWithin(a.Part(0, edge), b.Part(0, room));
    if (!head)
        return {0, heard.Count()};
    std::size_t first = head->first * kCoarse;
    std::size_t last = head->second * kCoarse + kCoarse - 1;
    if (edge < a.Count()) {
        const std::size_t from = b.Count() - room;
        const auto tail = LocateWithin(a.Part(a.Count() - edge, edge), b.Part(from, room));
        if (tail)
            last = (from + tail->second) * kCoarse + kCoarse - 1;
    }
    last = std::min(last, heard.Count() - 1);
    return first < last ? std::pair{first, last + 1} : std::pair{std::size_t(0), heard.Count()};
}

} // namespace

SpokenAlignment AlignSpoken(FeatureFrames synthetic, const std::vector<SpokenSpan>& spans, int spokenRate,
                                  FeatureFrames heard, std::size_t radius)
{
    SubtractMeans(synthetic);
    SubtractMeans(heard);
    const auto [readFrom, readTo] = ReadingWithin(synthetic, heard);
    heard.Keep(readFrom, readTo - readFrom);
    const FrameAlignment alignment = AlignFrames(synthetic, heard, radius);
    SpokenAlignment found;
    if (alignment.path.empty())
        return found;
    if (const double unrelated = UnrelatedDistance(synthetic, heard); unrelated > 0)
        found.distanceRatio = alignment.cost / double(alignment.path.size()) / unrelated;

    // For each synthetic frame, the first and the last recording frame the path pairs it with.
    std::vector<std::uint32_t> firstHeard(synthetic.Count(), 0), lastHeard(synthetic.Count(), 0);
    for (auto pair = alignment.path.rbegin(); pair != alignment.path.rend(); ++pair)
        firstHeard[pair->a] = pair->b;
    for (const FramePair& pair : alignment.path)
        lastHeard[pair.a] = pair.b;

    const double syntheticHop = synthetic.HopSeconds() * spokenRate; // in samples
    const double heardHop = heard.HopSeconds();
    const auto at = [&](std::uint32_t frame) { return double(readFrom + frame) * heardHop; };
    const std::size_t lastFrame = synthetic.Count() - 1;
    for (const auto& [begin, end] : spans) {
        const auto from = std::min(lastFrame, std::size_t(double(begin) / syntheticHop));
        const auto to = std::min(lastFrame, std::size_t(double(end) / syntheticHop));
        // A long pause in the recording may be warped onto the synthetic
        // pause or onto the sentence's first (or last) frame, which are
        // alike; a few frames into the sound the warp is sure. So a start is
        // the later of where the pause is left and where the sound is a few
        // frames in, less those frames; an end the earlier of the two ways.
        const std::size_t into = std::min(kSureFrames, to > from ? to - from - 1 : 0);
        const double leftPause = at(from > 0 ? lastHeard[from - 1] : firstHeard[0]);
        const double start = std::max(leftPause, at(firstHeard[from + into]) - double(into) * heardHop);
        const std::size_t before = to > from + into ? to - 1 - into : from;
        const double reachedPause = at(firstHeard[to]);
        const double finish = std::max(start, std::min(reachedPause, at(lastHeard[before]) + double(into + 1) * heardHop));
        found.spans.push_back({start, finish});
    }
    return found;
}
