// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/speech/FeatureFrames.h"

#include <span>

// Mel-frequency cepstral coefficients of a sound: what two recordings of the
// same words have in common whatever the voice's loudness, so that one can be
// matched against the other.

struct MfccSettings {
    int rate = 16000;             // of the samples given
    double frameSeconds = 0.025;  // the window each frame looks at
    double hopSeconds = 0.01;     // from one frame to the next
    int bands = 26;               // triangular mel filters
    int coefficients = 12;        // c1..c12; c0 (the loudness) is left out
    double lowestHz = 100;
    double highestHz = 7600;      // at most half the rate
};

// One frame every hop whose window lies wholly in the sound; none for a
// sound shorter than one window. Mono samples in -1..1.
FeatureFrames ComputeMfcc(std::span<const float> samples, const MfccSettings& settings = {});

// Each coefficient less its mean over all frames, so that the channel (a
// microphone, a room) cancels out of a comparison.
void SubtractMeans(FeatureFrames& frames);
