// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/sentences/PauseFinder.h"

#include <optional>
#include <string>
#include <vector>

// Speech whose sentence boundaries are known: sentences spoken by espeak-ng,
// each cut to its sound, joined by pauses of given lengths, optionally under
// pink noise at a given signal-to-noise ratio.
struct SpokenCorpus {
    int rate = 0;
    std::vector<float> samples;
    // Where each sentence's first and last sound lie, in seconds.
    std::vector<TimeSpan> sentences;
};

// How the sentences are read: the synthesiser's command line, which takes
// the text as its last argument and writes a 16-bit mono WAV to its standard
// output, and each sentence's tempo (1: as spoken; 1.25 a quarter faster; at
// its own pitch). Missing tempos are 1.
struct SpokenReading {
    std::string command = "espeak-ng --stdout";
    std::vector<double> tempos;
};

// Twenty everyday sentences, and pauses of 180 to 800 ms to put between them.
const std::vector<std::string>& EverydaySentences();
std::vector<double> CorpusPauses(std::size_t count);

// Speaks `sentences` with `pauses[i]` of silence after sentence i (and
// `lead` seconds before the first and after the last). With `snrDb`, pink
// noise (a fixed seed) runs through it all, its level `snrDb` below the
// speech's. `reading` says who speaks and how fast (espeak-ng's default
// voice at its pace unless told). Throws std::runtime_error when the
// synthesiser cannot be run or gives no sound.
SpokenCorpus MakeSpokenCorpus(const std::vector<std::string>& sentences, const std::vector<double>& pauses,
                              std::optional<double> snrDb, double lead = 0.5, const SpokenReading& reading = {});

// The same sound at twice its rate (espeak-ng speaks at 22.05 kHz; a sound
// server's monitor records at 44.1 kHz).
std::vector<float> AtTwiceTheRate(const std::vector<float>& samples);
