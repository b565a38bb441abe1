// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/SoundDecoder.h"

#include <string>

// What the recorder tests feed in and how they find it again in the MP3.

// A live sine tone as a recorder input description; with `seconds` > 0 the
// input delivers exactly that much sound and then ends.
std::string ToneInput(int frequency, double seconds = 0);

// Where a tone is heard: from the first to the last loud 5 ms window
// (the encoder's silent lead-in and padding are not part of it).
struct ToneSpan {
    double start = 0;
    double end = 0;
    double Length() const { return end - start; }
};
ToneSpan FindTone(const DecodedSound& sound);
// The tone's frequency, from its zero crossings.
double ToneFrequency(const DecodedSound& sound, ToneSpan span);
// The longest stretch inside the tone that is quiet, in seconds: a gap.
double LongestQuietStretch(const DecodedSound& sound, ToneSpan span);
