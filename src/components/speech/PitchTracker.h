// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

// The melody of a voice: its fundamental frequency every 10 ms, found by the
// YIN method (de Cheveigné & Kawahara, 2002), and the same contour in
// semitones around the speaker's own middle so that voices compare.

struct PitchSettings {
    double lowestHz = 60;
    double highestHz = 500;
    double hopSeconds = 0.01;
    // The first lag whose normalised difference dips under this is the period.
    double threshold = 0.15;
    // A frame is voiced only when its period repeats at least this well
    // (0 a perfect repetition, 1 none), once the share of the frame's power
    // that the sound's steady noise (the level of its pauses) accounts for
    // is taken out ...
    double voicedAperiodicity = 0.35;
    // ... and its level is above an absolute floor and within this many dB of
    // the loudest frame (breath and room noise are not a voice).
    double floorDb = -60;
    double belowLoudestDb = 40;
};

struct PitchFrame {
    float hz = 0;            // 0 when unvoiced
    float aperiodicity = 1;  // at the chosen period, noise and all: 0 periodic .. 1 noise
    float levelDb = -120;    // RMS of the analysed window, dB full scale
    bool Voiced() const { return hz > 0; }
};

struct PitchContour {
    double hopSeconds = 0.01;
    std::vector<PitchFrame> frames; // frame i describes the sound around i * hopSeconds
};

// Mono samples in -1..1 at any rate of at least 2 kHz.
PitchContour TrackPitch(std::span<const float> samples, int rate, const PitchSettings& settings = {});

// Voiced frames as semitones above (or below) the median of the voiced
// frames' f0; unvoiced frames stay empty.
std::vector<std::optional<float>> Semitones(const PitchContour& contour);
