// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/align/WindowedAlignment.h"

#include "components/speech/FrameAlignment.h"
#include "components/speech/Mfcc.h"

#include <algorithm>
#include <cmath>

namespace {

// Frames into a sentence's sound where the warp is sure of it.
constexpr std::size_t kSureFrames = 3;

// The reading's ends are looked for in the recording at 40 ms a frame.
constexpr std::size_t kHalvings = 2;
constexpr std::size_t kCoarse = std::size_t(1) << kHalvings;
// A window's end, its last seconds, is looked for in the recording from half
// the window's length on to twice its length and a third more.
constexpr double kWindowEndSeconds = 30;
// The reading's start is found at 40 ms a frame, maybe a frame or two late:
// the first window begins this much before it, so that the warp finds the
// first sentence's start at 10 ms like the others'.
constexpr double kHeadLeadSeconds = 0.1;
// The last window may be this much longer than the others rather than leave
// a short one after it.
constexpr double kLastWindowStretch = 1.5;

FeatureFrames Coarse(FeatureFrames frames)
{
    for (std::size_t i = 0; i < kHalvings; ++i)
        frames = Halved(frames);
    return frames;
}

// Where `part` of a reading is found in `within` of a recording, in frames
// of `within`: the first and the last matched.
std::optional<std::pair<std::size_t, std::size_t>> Find(const FeatureFrames& part, const FeatureFrames& within)
{
    const auto found = LocateWithin(Coarse(part), Coarse(within));
    if (!found)
        return std::nullopt;
    return std::pair{std::size_t(found->first) * kCoarse,
                     std::min(within.Count() - 1, std::size_t(found->second) * kCoarse + kCoarse - 1)};
}

// A start that the warp puts in a pause (a soft first sound warped onto the
// noise before it) is moved on to the first frame whose loudness is this far
// from the pauses' to the speech's, when that comes within this many frames
// and the pause lasts at least the last number of frames after the start.
constexpr double kRisenShare = 0.25;
constexpr std::size_t kRiseWithin = 60;
constexpr std::size_t kPauseAfterStart = 10;
// The pauses' and the speech's loudness: low and high percentiles of it.
constexpr double kPausePercentile = 0.1;
constexpr double kSpeechPercentile = 0.9;

// The first frame from `from` on whose loudness reaches `risen`, when
// `from` is in a pause that lasts long enough; none otherwise.
std::optional<std::size_t> RiseAfter(const std::vector<float>& loudness, float risen, std::size_t from)
{
    const std::size_t to = std::min(loudness.size(), from + kRiseWithin);
    if (from + kPauseAfterStart >= to)
        return std::nullopt;
    for (std::size_t frame = from; frame < to; ++frame) {
        if (loudness[frame] >= risen)
            return frame >= from + kPauseAfterStart ? std::optional(frame) : std::nullopt;
    }
    return std::nullopt;
}

// The loudness a pause is taken to have been left at.
float RisenLevel(const std::vector<float>& loudness)
{
    std::vector<float> sorted = loudness;
    std::sort(sorted.begin(), sorted.end());
    const float pause = sorted[std::size_t(kPausePercentile * double(sorted.size() - 1))];
    const float speech = sorted[std::size_t(kSpeechPercentile * double(sorted.size() - 1))];
    return pause + float(kRisenShare) * (speech - pause);
}

// For each frame of the warp's first sequence, the first and the last frame
// of the second that its path pairs it with.
struct PairedFrames {
    std::vector<std::uint32_t> first;
    std::vector<std::uint32_t> last;

    PairedFrames(const std::vector<FramePair>& path, std::size_t count) : first(count, 0), last(count, 0)
    {
        for (auto pair = path.rbegin(); pair != path.rend(); ++pair)
            first[pair->a] = pair->b;
        for (const FramePair& pair : path)
            last[pair.a] = pair.b;
    }
};

double InterquartileRange(std::vector<double> values)
{
    if (values.size() < 2)
        return 0;
    std::sort(values.begin(), values.end());
    const auto at = [&](double quantile) { return values[std::size_t(std::lround(quantile * double(values.size() - 1)))]; };
    return at(0.75) - at(0.25);
}

// The frames in the opposite order.
FeatureFrames Reversed(const FeatureFrames& frames)
{
    FeatureFrames reversed(frames.Dimensions(), frames.HopSeconds());
    reversed.Reserve(frames.Count());
    for (std::size_t i = frames.Count(); i-- > 0;)
        reversed.Add(frames.Frame(i));
    return reversed;
}

// The fit of a window's warp (see WarpFit) but for its distance ratio: each
// timed sentence's frames in the reading and the recording, and the
// recording's loudness (empty when the features have none).
WarpFit FitOf(const PairedFrames& paired, const std::vector<std::pair<std::size_t, std::size_t>>& spoken,
              const std::vector<TimeSpan>& heard, double hop, const std::vector<float>& loudness, float risen)
{
    WarpFit fit;
    std::vector<double> logRatios;
    for (std::size_t i = 0; i < spoken.size(); ++i) {
        const double spokenSeconds = double(spoken[i].second - spoken[i].first) * hop;
        // A sentence warped onto nothing counts as a frame long.
        const double heardSeconds = std::max(hop, heard[i].end - heard[i].start);
        if (spokenSeconds > 0)
            logRatios.push_back(std::log(heardSeconds / spokenSeconds));
    }
    fit.durationSpread = InterquartileRange(logRatios);
    if (!logRatios.empty()) {
        std::vector<double> sorted = logRatios;
        std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(sorted.size() / 2), sorted.end());
        const double median = sorted[sorted.size() / 2];
        const auto strays = std::count_if(logRatios.begin(), logRatios.end(),
                                          [&](double ratio) { return std::abs(ratio - median) > std::log(2.0); });
        fit.strayShare = double(strays) / double(logRatios.size());
    }
    if (!loudness.empty() && spoken.size() > 1) {
        const auto shortest = std::size_t(std::lround(kBoundaryPauseSeconds / hop));
        const auto quiet = [&](std::size_t frame) { return frame < loudness.size() && loudness[frame] < risen; };
        std::size_t paused = 0;
        double overlaps = 0;
        for (std::size_t i = 1; i < spoken.size(); ++i) {
            const std::size_t middle = (spoken[i - 1].second + spoken[i].first) / 2;
            const std::size_t at = (std::size_t(paired.first[middle]) + paired.last[middle]) / 2;
            if (!quiet(at))
                continue;
            std::size_t from = at, to = at;
            while (from > 0 && quiet(from - 1))
                --from;
            while (quiet(to + 1))
                ++to;
            if (to - from + 1 < shortest)
                continue;
            ++paused;
            // The reading's pause as the warp maps it, against the recording's.
            const double mappedFrom = paired.first[spoken[i - 1].second];
            const double mappedTo = paired.last[spoken[i].first];
            const double common = std::min(mappedTo, double(to)) - std::max(mappedFrom, double(from));
            const double either = std::max(mappedTo, double(to)) - std::min(mappedFrom, double(from));
            overlaps += common > 0 && either > 0 ? common / either : 0;
        }
        fit.boundaries = spoken.size() - 1;
        fit.pausedBoundaries = double(paused) / double(fit.boundaries);
        fit.pauseOverlap = overlaps / double(spoken.size() - 1);
    }
    const auto stretch = std::size_t(std::lround(kTempoStretchSeconds / hop));
    std::vector<double> logSlopes;
    for (std::size_t from = spoken.front().first; from + stretch <= spoken.back().second; from += stretch) {
        const double heardFrames = std::max(1.0, double(paired.first[from + stretch]) - double(paired.first[from]));
        logSlopes.push_back(std::log(heardFrames / double(stretch)));
    }
    fit.tempoSpread = InterquartileRange(logSlopes);
    return fit;
}

} // namespace

WindowedAligner::WindowedAligner(const WindowSettings& settings) : m_settings(settings) {}

void WindowedAligner::AddSentence(TimeSpan spoken)
{
    std::lock_guard lock(m_mutex);
    m_added.push_back(spoken);
}

void WindowedAligner::EndSentences()
{
    std::lock_guard lock(m_mutex);
    m_sentencesEnded = true;
}

double WindowedAligner::DistanceRatio() const
{
    return m_ratioFrames > 0 ? m_ratioSum / m_ratioFrames : 1;
}

std::size_t WindowedAligner::FrameOf(double seconds) const
{
    return std::size_t(std::max(0.0, seconds) / m_synthetic.HopSeconds());
}

WindowedAligner::Stretch WindowedAligner::Take(std::size_t syntheticFrom, std::size_t syntheticTo,
                                               std::size_t heardFrom, std::size_t heardTo) const
{
    Stretch stretch{syntheticFrom, heardFrom, m_synthetic.Part(syntheticFrom, syntheticTo - syntheticFrom),
                    m_heard.Part(heardFrom, heardTo - heardFrom)};
    SubtractMeans(stretch.synthetic);
    SubtractMeans(stretch.heard);
    return stretch;
}

bool WindowedAligner::LocateReading()
{
    const double hop = m_synthetic.HopSeconds();
    const auto edge = std::size_t(m_settings.endsSeconds / hop);
    const auto room = std::size_t((2 * m_settings.endsSeconds + m_settings.unmatchedSeconds) / hop);
    const std::size_t synthetic = m_synthetic.Count();
    const std::size_t heard = m_heard.Count();
    if ((synthetic < edge && !m_synthetic.Finished()) || (heard < room && !m_heard.Finished()))
        return false;
    const Stretch head = Take(0, std::min(synthetic, edge), 0, std::min(heard, room));
    if (const auto found = Find(head.synthetic, head.heard)) {
        const auto lead = std::size_t(kHeadLeadSeconds / hop);
        m_heardFrom = found->first > lead ? found->first - lead : 0;
        m_readingLast = found->second;
    } else {
        m_readingLast = heard - 1;
    }
    m_located = true;
    return true;
}

template <typename Timed>
void WindowedAligner::Warp(const Stretch& stretch, std::size_t heardLast, std::vector<TimeSpan>& found, Timed timed)
{
    const FeatureFrames heard = stretch.heard.Part(0, heardLast + 1);
    const FrameAlignment alignment = AlignFrames(stretch.synthetic, heard, m_settings.radius);
    if (alignment.path.empty())
        return;
    const PairedFrames paired(alignment.path, stretch.synthetic.Count());
    const double hop = heard.HopSeconds();
    const auto at = [&](std::uint32_t frame) { return double(stretch.heardFrom + frame) * hop; };
    const std::size_t lastFrame = stretch.synthetic.Count() - 1;
    const auto local = [&](double seconds) {
        const std::size_t frame = FrameOf(seconds);
        return std::min(lastFrame, frame > stretch.syntheticFrom ? frame - stretch.syntheticFrom : 0);
    };
    std::vector<float> loudness;
    if (m_settings.loudness && *m_settings.loudness < heard.Dimensions())
        for (std::size_t frame = 0; frame < heard.Count(); ++frame)
            loudness.push_back(heard.Frame(frame)[*m_settings.loudness]);
    const float risen = loudness.empty() ? 0 : RisenLevel(loudness);
    const std::size_t firstTimed = m_nextSentence;
    // The timed sentences' frames in the reading, for the first window's fit.
    std::vector<std::pair<std::size_t, std::size_t>> spokenFrames;
    for (; m_nextSentence < m_sentences.size() && timed(m_nextSentence); ++m_nextSentence) {
        const TimeSpan spoken = m_sentences[m_nextSentence];
        const std::size_t from = local(spoken.start);
        const std::size_t to = local(spoken.end);
        // A long pause in the recording may be warped onto the synthetic
        // pause or onto the sentence's first (or last) frame, which are
        // alike; a few frames into the sound the warp is sure. So a start is
        // the later of where the pause is left and where the sound is a few
        // frames in, less those frames; an end the earlier of the two ways.
        const std::size_t into = std::min(kSureFrames, to > from ? to - from - 1 : 0);
        const double leftPause = at(from > 0 ? paired.last[from - 1] : paired.first[0]);
        double start = std::max(leftPause, at(paired.first[from + into]) - double(into) * hop);
        if (!loudness.empty()) {
            const auto startFrame = std::size_t(std::lround(start / hop)) - stretch.heardFrom;
            if (const auto rise = RiseAfter(loudness, risen, startFrame); rise && *rise <= paired.last[to])
                start = at(std::uint32_t(*rise));
        }
        const std::size_t before = to > from + into ? to - 1 - into : from;
        const double reachedPause = at(paired.first[to]);
        const double finish = std::max(start, std::min(reachedPause, at(paired.last[before]) + double(into + 1) * hop));
        found.push_back({start, finish});
        spokenFrames.emplace_back(from, to);
    }
    if (m_nextSentence == firstTimed)
        return;
    const bool first = !m_firstFit;
    if (first)
        m_firstFit = FitOf(paired, spokenFrames, {found.end() - std::ptrdiff_t(spokenFrames.size()), found.end()}, hop,
                           loudness, risen);
    // Each window's ratio weighs by the reading it timed.
    const std::size_t timedTo = m_nextSentence < m_sentences.size() ? local(m_sentences[m_nextSentence - 1].end)
                                                                     : lastFrame;
    if (const double unrelated = UnrelatedDistance(stretch.synthetic, heard); unrelated > 0) {
        const double frames = double(std::max<std::size_t>(1, timedTo));
        const double ratio = alignment.cost / double(alignment.path.size()) / unrelated;
        m_ratioSum += ratio * frames;
        m_ratioFrames += frames;
        if (first) {
            m_firstFit->distanceRatio = ratio;
            const FrameAlignment backwards = AlignFrames(Reversed(stretch.synthetic), heard, m_settings.radius);
            const double backwardRatio =
                backwards.cost / double(std::max<std::size_t>(1, backwards.path.size())) / unrelated;
            if (!backwards.path.empty() && backwardRatio < 1)
                m_firstFit->orderGain = (1 - ratio) / (1 - backwardRatio);
        }
    }
    if (m_nextSentence >= m_sentences.size())
        return;
    // On from the middle of the pause after the last sentence timed, and the
    // middle of what the recording pairs with it.
    const std::size_t nextFrom = std::max(timedTo, local(m_sentences[m_nextSentence].start));
    const std::size_t pause = (timedTo + nextFrom) / 2;
    m_syntheticFrom = stretch.syntheticFrom + pause;
    m_heardFrom = stretch.heardFrom + (std::size_t(paired.first[pause]) + paired.last[pause]) / 2;
    m_synthetic.DropBefore(m_syntheticFrom);
    m_heard.DropBefore(m_heardFrom);
}

std::vector<TimeSpan> WindowedAligner::Advance()
{
    std::vector<TimeSpan> found;
    bool sentencesEnded = false;
    {
        std::lock_guard lock(m_mutex);
        m_sentences.insert(m_sentences.end(), m_added.begin() + std::ptrdiff_t(m_sentences.size()), m_added.end());
        sentencesEnded = m_sentencesEnded;
    }
    while (!m_done) {
        const bool syntheticEnded = sentencesEnded && m_synthetic.Finished();
        const bool nothing = m_sentences.empty() || m_synthetic.Count() == 0 || m_heard.Count() == 0;
        if (nothing || m_nextSentence >= m_sentences.size()) {
            // Nothing to align, or every sentence added so far timed.
            m_done = syntheticEnded && (m_heard.Finished() || !nothing);
            break;
        }
        if (!m_located && !LocateReading())
            break;
        const double hop = m_synthetic.HopSeconds();
        const std::size_t window = std::size_t(m_settings.windowSeconds / hop);
        const std::size_t kept = std::size_t(m_settings.keptSeconds / hop);
        const std::size_t synthetic = m_synthetic.Count();
        const std::size_t heard = m_heard.Count();
        // The reading is known up to the last sentence's end, bar the frames
        // of its sound still coming.
        const std::size_t known = syntheticEnded ? synthetic : std::min(synthetic, FrameOf(m_sentences.back().end));
        if (m_heardFrom >= heard && !m_heard.Finished())
            break;
        const std::size_t from = m_syntheticFrom;
        const std::size_t heardFrom = std::min(m_heardFrom, heard - 1);
        std::size_t to = from + window;
        const std::size_t nextEnd = FrameOf(m_sentences[m_nextSentence].end);
        if (nextEnd >= from + kept)
            to = std::max(to, nextEnd + (window - kept));
        const std::size_t lastReach = from + std::size_t(kLastWindowStretch * double(window));
        const bool last = syntheticEnded && (synthetic <= lastReach || to >= synthetic);
        if (last) {
            if (!m_heard.Finished())
                break;
            // The reading's last minute looked for near the recording's end.
            const Stretch stretch = Take(from, synthetic, heardFrom, heard);
            const auto edge = std::size_t(m_settings.endsSeconds / hop);
            const auto room = std::size_t((2 * m_settings.endsSeconds + m_settings.unmatchedSeconds) / hop);
            std::size_t heardLast = stretch.heard.Count() - 1;
            if (from + stretch.synthetic.Count() > edge) {
                const std::size_t tailFrom = stretch.synthetic.Count() > edge ? stretch.synthetic.Count() - edge : 0;
                const std::size_t roomFrom = stretch.heard.Count() > room ? stretch.heard.Count() - room : 0;
                const auto tail = Find(stretch.synthetic.Part(tailFrom, stretch.synthetic.Count() - tailFrom),
                                       stretch.heard.Part(roomFrom, stretch.heard.Count() - roomFrom));
                if (tail && roomFrom + tail->second > 0)
                    heardLast = roomFrom + tail->second;
            } else if (m_readingLast > heardFrom) {
                heardLast = std::min(heardLast, m_readingLast - heardFrom);
            }
            Warp(stretch, heardLast, found, [](std::size_t) { return true; });
            m_nextSentence = m_sentences.size();
            m_done = true;
            break;
        }
        // Not before it is known that this window is not the last, so that the
        // windows fall alike however fast the input comes.
        if (!syntheticEnded && known <= std::max(to, lastReach))
            break;
        const std::size_t reach = heardFrom + 2 * (to - from) + window / 3;
        if (heard < reach && !m_heard.Finished())
            break;
        const std::size_t heardTo = std::min(heard, reach);
        // The window's end: its last seconds looked for from half its length on.
        const Stretch stretch = Take(from, to, heardFrom, heardTo);
        const std::size_t ending = std::min(std::size_t(kWindowEndSeconds / hop), (to - from) / 4);
        const std::size_t lookFrom = std::min((to - from - ending) / 2, stretch.heard.Count() - 1);
        std::size_t heardLast = stretch.heard.Count() - 1;
        if (const auto end = Find(stretch.synthetic.Part(to - from - ending, ending),
                                  stretch.heard.Part(lookFrom, stretch.heard.Count() - lookFrom)))
            heardLast = lookFrom + end->second;
        const std::size_t firstTimed = m_nextSentence;
        Warp(stretch, heardLast, found, [&](std::size_t sentence) {
            const std::size_t end = FrameOf(m_sentences[sentence].end);
            return end < to && (sentence == firstTimed || end < from + kept);
        });
        if (m_nextSentence == firstTimed)
            break; // the warp found no path: nothing more can be timed
    }
    return found;
}
