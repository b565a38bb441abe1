// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// A sound file whose time can be read back from what is heard: second k of
// it is a sine tone of 400 + 200 k Hz (six seconds, 44.1 kHz mono WAV).
namespace SteppedTone {

constexpr int kRate = 44100;
constexpr int kSeconds = 6;
constexpr int kSilence = -1;

double Frequency(int second);
// The tone's samples, and the tone as a WAV file.
std::vector<float> Samples();
void WriteWav(const std::string& path);

// A stretch of a recording in which one second of the file (or silence) was
// heard; times in seconds from the recording's first sample.
struct Stretch {
    int second = kSilence;
    double start = 0;
    double length = 0;
    double End() const { return start + length; }
};

// The recording cut into stretches, read in 20 ms steps. Steps that hold no
// clean tone of the file (where one tone turns into the next) are left out,
// and so are stretches shorter than 60 ms.
std::vector<Stretch> Stretches(const std::vector<float>& sound, int rate = kRate);

// Only the stretches in which the file was heard; a second heard in pieces
// (a drop-out on a loaded machine) is one stretch from its first to its last
// piece.
std::vector<Stretch> Heard(const std::vector<Stretch>& stretches);

} // namespace SteppedTone
