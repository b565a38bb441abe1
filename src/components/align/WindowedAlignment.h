// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/align/GrowingFrames.h"
#include "components/sentences/PauseFinder.h"

#include <mutex>
#include <optional>
#include <vector>

// Where each sentence of a synthetic reading is said in a recording of the
// same text, found window by window while both are still being made, so that
// the first sentences are timed within seconds and memory stays bounded by a
// window however long the book.
//
// The reading's first minute is looked for in the recording's first minutes
// (what comes before, an introduction the text lacks, is left unmatched).
// Then a few minutes of the reading at a time are warped onto the stretch of
// the recording that follows where the window before left off: the window's
// last seconds are looked for in up to twice its length of recording (an open
// end), the window is warped coarse to fine up to there, and the sentences
// that end in its first part are timed; the next window begins in the pause
// after the last of them, where the warp is surest. The last window ends where
// the reading's last minute is found near the recording's end (closing words
// are left unmatched). Each sentence begins where the warp leaves the frame
// before its first sound and ends where it reaches its last, as if the whole
// had been warped at once.

struct WindowSettings {
    double windowSeconds = 180;  // of the synthetic reading warped at once
    // The sentences ending within this much of a window's start are timed by
    // it (at least one); the rest of the window only steadies the warp there.
    double keptSeconds = 150;
    std::size_t radius = 16;     // of the coarse-to-fine warp, in frames
    // The reading's first and last this much are looked for in the recording
    // ...
    double endsSeconds = 60;
    // ... within an introduction or closing words up to this long, and as
    // much recording as the reading at half its speed.
    double unmatchedSeconds = 120;
    // Which dimension of the features is the loudness, if one is: a start
    // the warp puts in a pause is then moved on to where the sound rises.
    std::optional<std::size_t> loudness;
};

// How a window's warp fits the recording: figures that may tell a recording
// of another text in the same language, whose distance ratio is like a right
// text's.
struct WarpFit {
    double distanceRatio = 1;  // see SpokenAlignment
    // The spread (interquartile range) of each timed sentence's log length in
    // the recording over its length in the reading: one reader's pace against
    // the synthesiser's clusters; a warp forced onto other words squeezes some
    // and stretches others.
    double durationSpread = 0;
    // The share of timed sentences whose length ratio is off their median
    // ratio by more than twice either way.
    double strayShare = 0;
    // The share of the boundaries between timed sentences (the middles of
    // the reading's pauses) that the warp puts in a pause of the recording
    // (its loudness low for at least kBoundaryPauseSeconds); none without
    // the loudness.
    std::optional<double> pausedBoundaries;
    std::size_t boundaries = 0;  // between the timed sentences
    // The mean over those boundaries of how much the reading's pause as the
    // warp maps it and the recording's pause there overlap (their common
    // part over the whole both cover; 0 where the boundary is not in a pause).
    std::optional<double> pauseOverlap;
    // The spread (interquartile range) of the warp's log slope over stretches
    // of kTempoStretchSeconds of the reading: its local tempo.
    double tempoSpread = 0;
    // How much closer than unrelated frames the warp brings the reading,
    // over how much closer it brings the same reading played backwards
    // (1 - distance ratio, over the same for the backward reading). The
    // backward reading has the same sounds in an order no one says, so a
    // recording of another text fits both about as well (near 1); one of this
    // text fits the reading in its order much better. Noise brings both
    // ratios nearer 1 alike, so it changes this figure little. None when
    // the backward reading is no closer than unrelated frames.
    std::optional<double> orderGain;
};
constexpr double kBoundaryPauseSeconds = 0.15;
constexpr double kTempoStretchSeconds = 5;

// Fed from any threads; Advance is called from one thread at a time.
class WindowedAligner {
public:
    explicit WindowedAligner(const WindowSettings& settings = {});

    // The synthetic reading's and the recording's features, with their means
    // not taken out, appended as they are made and finished at their ends.
    GrowingFrames& Synthetic() { return m_synthetic; }
    GrowingFrames& Heard() { return m_heard; }
    // Each sentence's span in the synthetic reading, in seconds, in the
    // text's order, once the frames of its sound have been appended.
    void AddSentence(TimeSpan spoken);
    void EndSentences();

    // Aligns every window the input so far allows and gives the spans in the
    // recording (in seconds) of the sentences it timed, which follow those
    // given before; none while it waits for more input.
    std::vector<TimeSpan> Advance();
    // Every sentence has been given: the input has ended and been aligned.
    bool Done() const { return m_done; }
    // How much closer the matched frames are than unrelated ones, over the
    // windows so far (see SpokenAlignment); 1 before the first.
    double DistanceRatio() const;
    // The first window's fit, once it is warped.
    const std::optional<WarpFit>& FirstFit() const { return m_firstFit; }

private:
    // The reading and the recording from the frames given on, means taken out.
    struct Stretch {
        std::size_t syntheticFrom = 0;
        std::size_t heardFrom = 0;
        FeatureFrames synthetic;
        FeatureFrames heard;
    };
    Stretch Take(std::size_t syntheticFrom, std::size_t syntheticTo, std::size_t heardFrom,
                 std::size_t heardTo) const;
    bool LocateReading();
    // Warps `stretch` up to its heard frame `heardLast`, times the sentences
    // from the next one on while `timed(sentence)` says so, and goes on from
    // the pause after the last of them.
    template <typename Timed>
    void Warp(const Stretch& stretch, std::size_t heardLast, std::vector<TimeSpan>& found, Timed timed);
    // The synthetic frame at `seconds` into the reading, once it has frames.
    std::size_t FrameOf(double seconds) const;

    WindowSettings m_settings;
    GrowingFrames m_synthetic;
    GrowingFrames m_heard;

    mutable std::mutex m_mutex;
    std::vector<TimeSpan> m_added;  // by AddSentence
    bool m_sentencesEnded = false;

    // Advance's own.
    std::vector<TimeSpan> m_sentences;  // those added, seen by Advance
    bool m_located = false;
    std::size_t m_syntheticFrom = 0;    // where the next window begins
    std::size_t m_heardFrom = 0;
    std::size_t m_nextSentence = 0;
    std::size_t m_readingLast = 0;      // where the first minute ends in the recording
    double m_ratioSum = 0;              // of each window's ratio times the frames it timed
    double m_ratioFrames = 0;
    std::optional<WarpFit> m_firstFit;
    bool m_done = false;
};
