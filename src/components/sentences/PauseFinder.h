// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

// Finds the pauses in speech, and so the sentences between them, from the
// sound's level over time. The thresholds are relative to the recording (its
// noise floor and its speech level), so that a noisy recording splits as well
// as a clean one; pure arithmetic, no media framework.

// A stretch of the media, in seconds.
struct TimeSpan {
    double start = 0;
    double end = 0;
    double Length() const { return end - start; }
    bool operator==(const TimeSpan&) const = default;
};

struct PauseFinderSettings {
    // Silences shorter than this do not split a sentence.
    double shortestPause = 0.25;
    // Silences at least this long are listed whether they split or not
    // (the lines of a transcript may meet in one); shorter ones are the
    // closures of consonants inside words.
    double shortestSilence = 0.15;
    // A sentence shorter than this joins the neighbour nearer to it.
    double shortestSentence = 0.8;
    // A sentence longer than this is split at its longest inner silence.
    double longestSentence = 15.0;
    // Kept before a sentence's first sound and after its last, at most half
    // the pause, so that no word is clipped.
    double margin = 0.1;
};

struct SentenceMap {
    // In media order; each lies inside the pauses around it, margins included.
    std::vector<TimeSpan> sentences;
    // Each sentence's first and last sound as found, without the margins.
    std::vector<TimeSpan> sounds;
    // The silences that split (between the last sound of a sentence and the
    // first of the next), in media order.
    std::vector<TimeSpan> pauses;
    // Every silence of at least the shortest silence, those that split and
    // those inside sentences, before the first sound and after the last
    // included, in media order.
    std::vector<TimeSpan> silences;
};

// The levels of the sound's blocks in dB (RMS against full scale), in media
// order: a stream hands them, chunk by chunk, to the function it is given;
// it may be asked to do so more than once.
using LevelStream = std::function<void(const std::function<void(std::span<const float>)>& consume)>;

// The sentences of the sound whose blocks of `blockSeconds` the stream gives.
// Silence only gives none; sound without any pause gives one sentence.
SentenceMap FindSentences(const LevelStream& levels, double blockSeconds, const PauseFinderSettings& settings = {});
