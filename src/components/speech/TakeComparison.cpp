// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/speech/TakeComparison.h"

#include "components/speech/FrameAlignment.h"
#include "components/speech/LevelMatch.h"
#include "components/speech/Mfcc.h"
#include "components/speech/PitchTracker.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <future>

namespace {

// Below this share of its sounding frames voiced, a take is a whisper.
constexpr double kLeastVoicedShare = 0.2;
// A take this many times longer (or shorter) than the original is not a repetition of it.
constexpr double kLongestRatio = 3.0;
// An original whose voiced pitch spreads less than this (semitones) has no speech melody.
constexpr double kLeastMelodySpread = 0.5;
// A voiced frame begins a held note when the next kHeldNoteFrames stay
// within kHeldNoteSemitones of it; an original with more than kMostHeldShare
// of such frames is music.
constexpr std::size_t kHeldNoteFrames = 15;
constexpr double kHeldNoteSemitones = 0.25;
constexpr double kMostHeldShare = 0.5;
// A path whose mean distance is this close to unrelated frames' pairs two different things.
constexpr double kUnrelatedRatio = 0.85;
// A take that says the original's words follows their order, so its path to
// the original is much cheaper than its path to the original's frames
// backwards, which hold the same sounds, voice and room in no order; a take
// of other words is about as far from both. Above this share: other words.
constexpr double kMostOfBackwardsCost = 0.88;
// The least local distance, as a share of unrelated frames', that counts as not matched.
constexpr double kLeastUnmatched = 0.4;
// Steps in a row on one frame of either sound that make a stall.
constexpr std::size_t kShortestStall = 5;
// Frames voiced in both that a melody score needs.
constexpr std::size_t kLeastMelodyFrames = 20;
// A frame sounds when it is within this many dB of the loudest one and above the floor.
constexpr double kSoundingBelowLoudestDb = 35;
constexpr double kSoundingFloorDb = -55;

std::string Format(const char* format, double x, double y = 0, double z = 0)
{
    char text[256];
    std::snprintf(text, sizeof text, format, x, y, z);
    return text;
}

double Distance(std::span<const float> x, std::span<const float> y)
{
    double sum = 0;
    for (std::size_t d = 0; d < x.size(); ++d)
        sum += double(x[d] - y[d]) * (x[d] - y[d]);
    return std::sqrt(sum);
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(values.size() / 2), values.end());
    return values[values.size() / 2];
}

double StandardDeviation(const std::vector<double>& values)
{
    if (values.size() < 2)
        return 0;
    double mean = 0;
    for (const double value : values)
        mean += value;
    mean /= double(values.size());
    double sum = 0;
    for (const double value : values)
        sum += (value - mean) * (value - mean);
    return std::sqrt(sum / double(values.size()));
}

std::optional<std::string> TakeVoicingProblem(const PitchContour& take)
{
    float loudest = -120;
    for (const PitchFrame& frame : take.frames)
        loudest = std::max(loudest, frame.levelDb);
    std::size_t sounding = 0, voiced = 0;
    for (const PitchFrame& frame : take.frames) {
        voiced += frame.Voiced();
        sounding += frame.levelDb > kSoundingFloorDb && frame.levelDb > loudest - kSoundingBelowLoudestDb;
    }
    if (sounding == 0)
        return "the take is silent";
    if (voiced == 0)
        return "the take has no voiced sound (only noise or whisper)";
    const double share = double(voiced) / double(sounding);
    if (share < kLeastVoicedShare)
        return Format("the take is whispered: only %.0f %% of its sound is voiced", 100 * share);
    return std::nullopt;
}

std::optional<std::string> OriginalMelodyProblem(const std::vector<std::optional<float>>& semitones)
{
    std::vector<double> voiced;
    for (const auto& semitone : semitones)
        if (semitone)
            voiced.push_back(*semitone);
    if (voiced.empty())
        return "the original has no voiced sound";
    if (const double spread = StandardDeviation(voiced); spread < kLeastMelodySpread)
        return Format("the original has no speech-like melody: its pitch varies by only %.2f semitones "
                      "(music or a steady tone?)",
                      spread);
    // Notes held steady, as an instrument or a singer holds them; speech
    // glides nearly all the time.
    std::size_t held = 0, voicedFrames = 0;
    for (std::size_t i = 0; i < semitones.size(); ++i) {
        if (!semitones[i])
            continue;
        ++voicedFrames;
        bool steady = i + kHeldNoteFrames <= semitones.size();
        for (std::size_t j = i; steady && j < i + kHeldNoteFrames; ++j)
            steady = semitones[j] && std::abs(*semitones[j] - *semitones[i]) <= kHeldNoteSemitones;
        held += steady;
    }
    if (const double share = double(held) / double(voicedFrames); share > kMostHeldShare)
        return Format("the original holds its pitch like music: %.0f %% of its voiced frames begin a steady note",
                      100 * share);
    return std::nullopt;
}

FeatureFrames Backwards(const FeatureFrames& frames)
{
    FeatureFrames backwards(frames.Dimensions(), frames.HopSeconds());
    backwards.Reserve(frames.Count());
    for (std::size_t i = frames.Count(); i-- > 0;)
        backwards.Add(frames.Frame(i));
    return backwards;
}

// Runs of at least `shortest` frames for which `inside` holds, as spans of time.
template <typename Predicate>
std::vector<TimeSpan> Runs(std::size_t count, std::size_t shortest, double hop, Predicate inside)
{
    std::vector<TimeSpan> spans;
    for (std::size_t i = 0; i < count;) {
        if (!inside(i)) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < count && inside(end))
            ++end;
        if (end - i >= shortest)
            spans.push_back({double(i) * hop, double(end) * hop});
        i = end;
    }
    return spans;
}

bool Covers(const std::vector<TimeSpan>& spans, double time)
{
    return std::any_of(spans.begin(), spans.end(),
                       [&](const TimeSpan& span) { return time >= span.start && time < span.end; });
}

// The path's steps that match nothing (flagged), and the stretches they make.
std::vector<bool> FindUnmatched(const FrameAlignment& alignment, const FeatureFrames& a, const FeatureFrames& b,
                                double unrelated, const TakeComparisonSettings& settings,
                                std::vector<UnmatchedStretch>& unmatched)
{
    const std::size_t steps = alignment.path.size();
    const double hop = a.HopSeconds();
    // Not matched: steps whose distance, smoothed over a few steps, is far
    // above the path's median, and a fair part of the way to unrelated (a
    // take that copies the original has a median of almost nothing).
    std::vector<double> distance(steps);
    for (std::size_t k = 0; k < steps; ++k)
        distance[k] = Distance(a.Frame(alignment.path[k].a), b.Frame(alignment.path[k].b));
    const double limit = std::max(settings.unmatchedFactor * Median(distance), kLeastUnmatched * unrelated);
    constexpr std::size_t kSmoothing = 2; // steps either side
    std::vector<bool> flagged(steps, false);
    for (std::size_t k = 0; k < steps; ++k) {
        const std::size_t from = k > kSmoothing ? k - kSmoothing : 0;
        const std::size_t to = std::min(steps, k + kSmoothing + 1);
        double sum = 0;
        for (std::size_t j = from; j < to; ++j)
            sum += distance[j];
        flagged[k] = sum / double(to - from) > limit;
    }
    // A run of steps on which one sound stands still while the other moves
    // on (the take skipping a word, or saying something the original has
    // not) belongs to the unmatched stretch it touches, as long as it is no
    // closer than the path's median: otherwise what was left out would be
    // forced onto the frames at its edges and show as a tempo.
    const double median = Median(distance);
    std::vector<bool> stalled(steps, false);
    for (const auto coordinate : {&FramePair::a, &FramePair::b}) {
        for (std::size_t k = 0; k < steps;) {
            std::size_t end = k;
            while (end < steps && alignment.path[end].*coordinate == alignment.path[k].*coordinate)
                ++end;
            if (end - k >= kShortestStall)
                for (std::size_t j = k; j < end; ++j)
                    stalled[j] = stalled[j] || distance[j] > median;
            k = end;
        }
    }
    for (std::size_t k = 1; k < steps; ++k)
        flagged[k] = flagged[k] || (flagged[k - 1] && stalled[k]);
    for (std::size_t k = steps - 1; k-- > 0;)
        flagged[k] = flagged[k] || (flagged[k + 1] && stalled[k]);

    const auto shortest = std::size_t(std::lround(settings.shortestMarkSeconds / hop));
    for (std::size_t k = 0; k < steps;) {
        if (!flagged[k]) {
            ++k;
            continue;
        }
        std::size_t end = k;
        while (end < steps && flagged[end])
            ++end;
        const FramePair first = alignment.path[k];
        const FramePair last = alignment.path[end - 1];
        if (last.a - first.a + 1 >= shortest || last.b - first.b + 1 >= shortest)
            unmatched.push_back({{first.a * hop, (last.a + 1) * hop}, {first.b * hop, (last.b + 1) * hop}});
        else
            std::fill(flagged.begin() + std::ptrdiff_t(k), flagged.begin() + std::ptrdiff_t(end), false);
        k = end;
    }

    return flagged;
}

// Each original frame's take frame and the tempo around it, from the path's
// matched steps; the slower and faster stretches; the timing score.
void FollowTempo(const FrameAlignment& alignment, const std::vector<bool>& flagged, std::size_t frames, double hop,
                 const TakeComparisonSettings& settings, TakeComparison& result)
{
    const std::size_t steps = alignment.path.size();
    const auto shortest = std::size_t(std::lround(settings.shortestMarkSeconds / hop));
    // Each original frame's take frame, from its matched steps; and, along
    // the path, how far each time has moved on over matched steps only, so
    // that what was added or left out does not count as slow or fast.
    std::vector<double> takeSum(frames, 0);
    std::vector<std::size_t> takeCount(frames, 0);
    std::vector<double> originalMoved(frames, 0), takeMoved(frames, 0);
    double movedA = 0, movedB = 0;
    for (std::size_t k = 0; k < steps; ++k) {
        const FramePair pair = alignment.path[k];
        if (!flagged[k]) {
            takeSum[pair.a] += pair.b;
            ++takeCount[pair.a];
            if (k > 0) {
                movedA += pair.a - alignment.path[k - 1].a;
                movedB += pair.b - alignment.path[k - 1].b;
            }
        }
        originalMoved[pair.a] = movedA;
        takeMoved[pair.a] = movedB;
    }
    result.takeFrame.resize(frames);
    for (std::size_t i = 0; i < frames; ++i)
        if (takeCount[i] > 0)
            result.takeFrame[i] = std::uint32_t(std::lround(takeSum[i] / double(takeCount[i])));

    const auto half = std::size_t(std::lround(settings.tempoWindowSeconds / hop / 2));
    result.tempo.resize(frames);
    std::vector<double> logTempo;
    for (std::size_t i = 0; i < frames; ++i) {
        if (!result.takeFrame[i])
            continue;
        const std::size_t from = i > half ? i - half : 0;
        const std::size_t to = std::min(frames - 1, i + half);
        const double movedOriginal = originalMoved[to] - originalMoved[from];
        if (movedOriginal < double(half))
            continue;
        const double ratio = (takeMoved[to] - takeMoved[from]) / movedOriginal;
        result.tempo[i] = float(ratio);
        if (ratio > 0)
            logTempo.push_back(std::log2(ratio));
    }
    // Slower and faster than the take's own tempo (its median), so that a
    // take said evenly slower or faster throughout marks the words that
    // stray from it, not every word.
    const double ownTempo = logTempo.empty() ? 1 : std::exp2(Median(logTempo));
    result.slower = Runs(frames, shortest, hop, [&](std::size_t i) {
        return result.tempo[i] && *result.tempo[i] > settings.slowerRatio * ownTempo;
    });
    result.faster = Runs(frames, shortest, hop, [&](std::size_t i) {
        return result.tempo[i] && *result.tempo[i] < settings.fasterRatio * ownTempo;
    });

    // Timing score: 100 times the share of the original's frames neither
    // slower, faster nor unmatched, times 1 less the spread (standard
    // deviation) of log2 of the tempo ratio over half an octave, so that a
    // take at an even tempo, however slow, scores higher than an uneven one.
    std::size_t onTime = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        const double time = (double(i) + 0.5) * hop;
        onTime += result.takeFrame[i] && !Covers(result.slower, time) && !Covers(result.faster, time);
    }
    const double evenness = std::clamp(1 - StandardDeviation(logTempo) / 0.5, 0.0, 1.0);
    result.timingScore = 100 * double(onTime) / double(frames) * evenness;
}

// The pitch frame that describes the same sound as an MFCC frame: an MFCC
// frame's window is centred half a window (about one hop) after its start.
std::size_t PitchFrameOf(std::size_t mfccFrame, std::size_t count)
{
    return std::min(mfccFrame + 1, count - 1);
}

// Each original frame's semitones, and the take's said with it.
void WarpMelodies(const std::vector<std::optional<float>>& originalSemitones,
                  const std::vector<std::optional<float>>& takeSemitones, TakeComparison& result)
{
    const std::size_t frames = result.takeFrame.size();
    result.originalMelody.assign(frames, std::nullopt);
    result.takeMelody.assign(frames, std::nullopt);
    for (std::size_t i = 0; i < frames && !originalSemitones.empty() && !takeSemitones.empty(); ++i) {
        result.originalMelody[i] = originalSemitones[PitchFrameOf(i, originalSemitones.size())];
        if (result.takeFrame[i])
            result.takeMelody[i] = takeSemitones[PitchFrameOf(*result.takeFrame[i], takeSemitones.size())];
    }
}

std::optional<double> MelodyScore(const std::vector<std::optional<float>>& originalMelody,
                                  const std::vector<std::optional<float>>& takeMelody)
{
    // Melody score: over the original frames matched and voiced in both, the
    // two semitone contours each less its mean there; 100 times 1 less half
    // the RMS of their difference over the RMS of the original's, clamped to
    // 0..100: the same melody at any pitch scores 100, a monotone 50, the
    // melody upside down 0.
    std::vector<std::pair<double, double>> pairs;
    for (std::size_t i = 0; i < originalMelody.size(); ++i)
        if (originalMelody[i] && takeMelody[i])
            pairs.emplace_back(*originalMelody[i], *takeMelody[i]);
    if (pairs.size() >= kLeastMelodyFrames) {
        double meanX = 0, meanY = 0;
        for (const auto& [x, y] : pairs) {
            meanX += x;
            meanY += y;
        }
        meanX /= double(pairs.size());
        meanY /= double(pairs.size());
        double differences = 0, spread = 0;
        for (const auto& [x, y] : pairs) {
            differences += std::pow((x - meanX) - (y - meanY), 2);
            spread += std::pow(x - meanX, 2);
        }
        if (spread > 0)
            return 100 * std::clamp(1 - std::sqrt(differences / spread) / 2, 0.0, 1.0);
    }
    return std::nullopt;
}

} // namespace

TakeComparison CompareTake(const SoundSource& givenOriginal, const SoundSource& givenTake,
                           const TakeComparisonSettings& settings)
{
    // Each at the level the features are made for, however loud it was
    // recorded: a quiet microphone's take would sink under their floor.
    const std::vector<float> originalSamples = AtSpeechLevel(givenOriginal.samples, givenOriginal.rate);
    const std::vector<float> takeSamples = AtSpeechLevel(givenTake.samples, givenTake.rate);
    const SoundSource original{originalSamples, givenOriginal.rate};
    const SoundSource take{takeSamples, givenTake.rate};
    TakeComparison result;
    // What can be worked out apart runs on a second thread beside this one,
    // so that the feedback comes soon after the take.
    auto takePitchSoon = std::async(std::launch::async, [&] { return TrackPitch(take.samples, take.rate); });
    const PitchContour originalPitch = TrackPitch(original.samples, original.rate);
    const PitchContour takePitch = takePitchSoon.get();
    if ((result.reason = TakeVoicingProblem(takePitch)))
        return result;
    const double originalSeconds = double(original.samples.size()) / original.rate;
    const double takeSeconds = double(take.samples.size()) / take.rate;
    if (takeSeconds > kLongestRatio * originalSeconds || takeSeconds * kLongestRatio < originalSeconds) {
        result.reason = Format("the take lasts %.1f s, %.1f times the original's %.1f s", takeSeconds,
                               takeSeconds / originalSeconds, originalSeconds);
        return result;
    }
    const auto originalSemitones = Semitones(originalPitch);
    const auto takeSemitones = Semitones(takePitch);
    if ((result.reason = OriginalMelodyProblem(originalSemitones)))
        return result;

    MfccSettings originalMfcc, takeMfcc;
    originalMfcc.rate = original.rate;
    takeMfcc.rate = take.rate;
    auto takeFeaturesSoon = std::async(std::launch::async, [&] {
        FeatureFrames b = ComputeMfcc(take.samples, takeMfcc);
        SubtractMeans(b);
        return b;
    });
    FeatureFrames a = ComputeMfcc(original.samples, originalMfcc);
    SubtractMeans(a);
    const FeatureFrames b = takeFeaturesSoon.get();
    auto backwardsSoon = std::async(std::launch::async, [&] { return AlignFrames(Backwards(a), b, settings.radius); });
    const FrameAlignment alignment = AlignFrames(a, b, settings.radius);
    const FrameAlignment backwards = backwardsSoon.get();
    if (alignment.path.empty()) {
        result.reason = "the original or the take is too short to compare";
        return result;
    }
    const double hop = a.HopSeconds();
    result.hopSeconds = hop;
    const std::size_t steps = alignment.path.size();
    const double unrelated = UnrelatedDistance(a, b);
    if (unrelated > 0 && alignment.cost / double(steps) > kUnrelatedRatio * unrelated) {
        result.reason = Format("the take does not seem to say what the original says: its frames are %.0f %% as "
                               "far from the original's as unrelated ones",
                               100 * alignment.cost / double(steps) / unrelated);
        return result;
    }
    const double meanCost = alignment.cost / double(steps);
    if (backwards.cost > 0 && meanCost > kMostOfBackwardsCost * backwards.cost / double(backwards.path.size())) {
        result.reason = Format("the take does not seem to say what the original says: its frames are %.0f %% as far "
                               "from the original's as from the original's played backwards",
                               100 * meanCost * double(backwards.path.size()) / backwards.cost);
        return result;
    }

    const std::vector<bool> flagged = FindUnmatched(alignment, a, b, unrelated, settings, result.unmatched);
    FollowTempo(alignment, flagged, a.Count(), hop, settings, result);
    WarpMelodies(originalSemitones, takeSemitones, result);
    result.melodyScore = MelodyScore(result.originalMelody, result.takeMelody);
    return result;
}
