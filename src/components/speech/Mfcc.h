// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/speech/FeatureFrames.h"

#include <kiss_fftr.h>

#include <memory>
#include <span>
#include <utility>
#include <vector>

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
    // With more than 0, the loudness (c0) too, times this, after c1..c12:
    // once the means are taken out it tells speech from the pauses.
    double loudnessWeight = 0;
};

// The coefficients of a sound given piece by piece (a decoder's or a
// synthesiser's output), so that hours of it never have to be held: one
// frame every hop whose window lies wholly in the sound so far.
class MfccStream {
public:
    explicit MfccStream(const MfccSettings& settings);
    ~MfccStream();
    MfccStream(const MfccStream&) = delete;
    MfccStream& operator=(const MfccStream&) = delete;

    // Mono samples in -1..1.
    void Push(std::span<const float> samples);
    // Silence of `count` samples (between synthetic sentences).
    void PushSilence(std::size_t count);
    std::size_t SamplesPushed() const { return m_pushed; }
    const FeatureFrames& Frames() const { return m_frames; }
    // The frames made so far, which the stream then no longer holds.
    FeatureFrames TakeFrames()
    {
        return std::exchange(m_frames, FeatureFrames(m_frames.Dimensions(), m_frames.HopSeconds()));
    }

private:
    // A band's weights over the FFT's bins from `first` on.
    struct Filter {
        std::size_t first = 0;
        std::vector<float> weights;
    };
    struct FftFree {
        void operator()(kiss_fftr_state* state) const { kiss_fftr_free(state); }
    };
    void AddFrame(std::span<const float> window);

    std::size_t m_frameLength;
    std::size_t m_hop;
    std::unique_ptr<kiss_fftr_state, FftFree> m_fft;
    std::vector<Filter> m_filters;
    std::vector<float> m_window;
    std::vector<float> m_cosines;
    std::vector<kiss_fft_scalar> m_input;
    std::vector<kiss_fft_cpx> m_spectrum;
    std::vector<float> m_energies;
    std::vector<float> m_coefficients;
    float m_loudnessWeight;
    // The samples not yet past the last frame's start, and the one before
    // them (for the pre-emphasis).
    std::vector<float> m_pending;
    float m_beforePending = 0;
    std::size_t m_pushed = 0;
    FeatureFrames m_frames;
};

// The coefficients of a whole sound at once.
FeatureFrames ComputeMfcc(std::span<const float> samples, const MfccSettings& settings = {});

// Each coefficient less its mean over all frames, so that the channel (a
// microphone, a room) cancels out of a comparison.
void SubtractMeans(FeatureFrames& frames);
