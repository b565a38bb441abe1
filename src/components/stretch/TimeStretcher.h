// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/stretch/Onsets.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

// Plays sound slower or faster at its own pitch, by overlapping pieces of it
// (30 ms, Hann windows, half overlapped) taken from where they continue the
// sound before them best (WSOLA: waveform similarity overlap-add). Made for a
// player that repeats segments:
// - the output of a stretch of sound lasts exactly round(input / speed)
//   frames, starts on the first input frame and ends on the last, whatever
//   the speed;
// - the sound around an onset (see Onsets) is played once, never repeated or
//   skipped, so that a click or a consonant is heard once and as short as it
//   was; the stretching is done in the steady sound between.
//
// Samples are float, interleaved. Not thread-safe.
class TimeStretcher {
public:
    TimeStretcher(int channels, int sampleRate);

    // Starts afresh at `speed` (brought within 0.25..4; 1 plays the sound as
    // it is): the next frame pushed is the first of a new stretch.
    void Restart(double speed);
    double Speed() const { return m_speed; }
    // Takes the next `frames` frames.
    void Push(const float* samples, std::size_t frames);
    // The stretch has ended: all of its output becomes ready. Frames pushed
    // after it, until the next Restart, are ignored.
    void Finish();
    // Appends the output ready so far to `out`; returns how many frames.
    std::size_t Pull(std::vector<float>& out);
    // Where the sound of output frame `frame` of this stretch comes from: its
    // input frame, for the frames still remembered (the last second or so).
    std::optional<std::int64_t> SourceOf(std::int64_t frame) const;

private:
    enum class Shape { Head, Middle, Tail };
    // A piece of input, [in, in + length), played from output frame `out`.
    struct Piece {
        std::int64_t out;
        std::int64_t in;
        Shape shape;
    };

    // Chooses the pieces that the input pushed so far allows.
    void Plan();
    // Chooses the pieces up to the last one, which ends on the last input frame.
    void PlanEnd();
    // A stretch too short for pieces: its frames are spaced out or thinned.
    void MapShortStretch(std::int64_t inputFrames, std::int64_t outputFrames);
    // Where the piece after one ending at `natural` should start: near `nominal`
    // (within lowest..highest), as similar to the natural continuation as
    // possible, without repeating or skipping the sound around an onset.
    std::int64_t Choose(std::int64_t natural, std::int64_t nominal, std::int64_t lowest, std::int64_t highest) const;
    void Add(const Piece& piece);
    // Adds the planned pieces before output frame `limit`; the output before
    // it becomes ready.
    void Commit(std::int64_t limit);
    void Forget();
    float Mono(std::int64_t frame) const { return m_mono[std::size_t(frame - m_inBase)]; }

    const int m_channels;
    const int m_length;
    const int m_hop;
    const int m_tolerance;
    const int m_driftLimit;
    std::vector<float> m_window;
    double m_speed = 1;
    bool m_finished = false;

    // Input kept from frame m_inBase on, as pushed and mixed to one channel.
    std::vector<float> m_input;
    std::vector<float> m_mono;
    std::int64_t m_inBase = 0;
    std::int64_t m_inEnd = 0;
    Onsets m_onsets;

    // Pieces chosen but not yet added, the last one chosen, the pieces added
    // lately (for SourceOf), and where the next piece starts.
    std::deque<Piece> m_planned;
    std::optional<Piece> m_last;
    std::deque<Piece> m_added;
    std::int64_t m_nextOut = 0;

    // Output from frame m_outBase on: the windowed sum of the pieces and the
    // sum of their windows; ready up to m_ready.
    std::vector<float> m_sum;
    std::vector<float> m_weight;
    std::int64_t m_outBase = 0;
    std::int64_t m_ready = 0;
};
