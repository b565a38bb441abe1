// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/speech/PitchTracker.h"
#include "support/SyntheticVoice.h"

#include <gtest/gtest.h>

#include <cmath>

// The pitch tracker on buzzes whose f0 is known at every instant.

namespace {

using SyntheticVoice::kRate;

struct Errors {
    std::size_t voiced = 0;   // frames the truth calls voiced
    std::size_t found = 0;    // of those, voiced in the contour
    std::size_t gross = 0;    // of those found, more than 20 % off
    double worstFine = 0;     // among the others, in cents
};

// The contour's frames well inside the sound against f0(t).
Errors Compare(const PitchContour& contour, const SyntheticVoice::Curve& f0, double seconds)
{
    Errors errors;
    for (std::size_t i = 0; i < contour.frames.size(); ++i) {
        const double t = double(i) * contour.hopSeconds;
        if (t < 0.05 || t > seconds - 0.05)
            continue;
        ++errors.voiced;
        if (!contour.frames[i].Voiced())
            continue;
        ++errors.found;
        const double ratio = contour.frames[i].hz / f0(t);
        if (std::abs(ratio - 1) > 0.2)
            ++errors.gross;
        else
            errors.worstFine = std::max(errors.worstFine, std::abs(1200 * std::log2(ratio)));
    }
    return errors;
}

TEST(PitchTracker, FollowsGlidesAndBuzzesInBothVoiceRanges)
{
    struct Case {
        const char* name;
        SyntheticVoice::Curve f0;
        double fundamentalGain;
        int rate;
    };
    const Case cases[] = {
        {"glide 100 to 200 Hz", [](double t) { return 100 + 50 * t; }, 1.0, kRate},
        {"female 220 Hz", [](double) { return 220.0; }, 1.0, 44100},
        {"weak fundamental", [](double t) { return 110 + 20 * t; }, 0.05, kRate},
        {"low 65 Hz", [](double) { return 65.0; }, 1.0, 8000},
        {"high 480 Hz", [](double) { return 480.0; }, 1.0, kRate},
    };
    for (const Case& c : cases) {
        SyntheticVoice::Voice voice;
        voice.f0 = c.f0;
        voice.fundamentalGain = c.fundamentalGain;
        voice.syllables = false;
        const PitchContour contour = TrackPitch(SyntheticVoice::Render(voice, 2, {[](double t) { return t; }}, c.rate),
                                                c.rate);
        EXPECT_EQ(contour.frames.size(), 200u) << c.name;
        const Errors errors = Compare(contour, c.f0, 2);
        EXPECT_GE(errors.found, errors.voiced * 98 / 100) << c.name;
        EXPECT_EQ(errors.gross, 0u) << c.name; // an octave error shows here
        EXPECT_LT(errors.worstFine, 20.0) << c.name;
    }
}

// Speech-like syllables with a moving f0: under 1 % gross errors among the
// voiced frames, and the quiet troughs between syllables may go unvoiced but
// never wrong.
TEST(PitchTracker, GrossErrorsStayUnderOnePercentOnSpeechLikeBuzz)
{
    const SyntheticVoice::Voice voice;
    const PitchContour contour = TrackPitch(SyntheticVoice::Render(voice, 3), kRate);
    const Errors errors = Compare(contour, voice.f0, 3);
    EXPECT_GT(errors.found, errors.voiced * 80 / 100);
    EXPECT_LE(errors.gross * 100, errors.found);
}

// Steady noise at 10 dB under speech-like syllables between pauses: where
// the clean voice is voiced the noisy one is too (the noise's share of each
// frame is taken out of its aperiodicity), and the pauses, noise alone,
// stay unvoiced.
TEST(PitchTracker, AVoiceInSteadyNoiseIsVoicedAsWithoutIt)
{
    const SyntheticVoice::Voice voice;
    std::vector<float> clean(std::size_t(0.5 * kRate), 0.0f);
    const std::vector<float> spoken = SyntheticVoice::Render(voice, 2);
    clean.insert(clean.end(), spoken.begin(), spoken.end());
    clean.resize(clean.size() + std::size_t(0.5 * kRate), 0.0f);
    std::vector<float> noisy = clean;
    const std::vector<float> noise = SyntheticVoice::Noise(3, SyntheticVoice::Rms(clean) * std::pow(10.0, -10.0 / 20));
    for (std::size_t i = 0; i < noisy.size(); ++i)
        noisy[i] += noise[i];

    const PitchContour truth = TrackPitch(clean, kRate);
    const PitchContour contour = TrackPitch(noisy, kRate);
    ASSERT_EQ(truth.frames.size(), contour.frames.size());
    std::size_t voiced = 0, found = 0, inPauses = 0;
    for (std::size_t i = 0; i < truth.frames.size(); ++i) {
        const double t = double(i) * truth.hopSeconds;
        if (t < 0.45 || t > 2.55)
            inPauses += contour.frames[i].Voiced();
        if (!truth.frames[i].Voiced())
            continue;
        ++voiced;
        found += contour.frames[i].Voiced() && std::abs(contour.frames[i].hz / truth.frames[i].hz - 1) < 0.2;
    }
    EXPECT_GT(voiced, 150u);
    EXPECT_GE(found, voiced * 95 / 100);
    EXPECT_EQ(inPauses, 0u);
}

TEST(PitchTracker, SilenceNoiseAndWhisperAreUnvoiced)
{
    const auto voicedFrames = [](const std::vector<float>& samples) {
        std::size_t voiced = 0;
        for (const PitchFrame& frame : TrackPitch(samples, kRate).frames)
            voiced += frame.Voiced();
        return voiced;
    };
    EXPECT_EQ(voicedFrames(std::vector<float>(kRate, 0.0f)), 0u);
    EXPECT_EQ(voicedFrames(SyntheticVoice::Noise(1, 0.1)), 0u);
    EXPECT_EQ(voicedFrames(SyntheticVoice::Noise(1, 0.0001)), 0u); // a quiet room
    EXPECT_TRUE(TrackPitch({}, kRate).frames.empty());

    // A voice followed by noise as loud: the voice voiced, the noise not.
    SyntheticVoice::Voice voice;
    voice.syllables = false;
    std::vector<float> samples = SyntheticVoice::Render(voice, 1);
    const std::vector<float> noise = SyntheticVoice::Noise(1, SyntheticVoice::Rms(samples));
    samples.insert(samples.end(), noise.begin(), noise.end());
    const PitchContour contour = TrackPitch(samples, kRate);
    for (std::size_t i = 5; i < 95; ++i)
        EXPECT_TRUE(contour.frames[i].Voiced()) << i;
    for (std::size_t i = 105; i < 200; ++i)
        EXPECT_FALSE(contour.frames[i].Voiced()) << i;
}

TEST(PitchTracker, SemitonesOfVoicesAnOctaveApartAreTheSame)
{
    SyntheticVoice::Voice low;
    low.f0 = [](double t) { return 100 * std::pow(2.0, std::sin(3 * t) / 3); };
    SyntheticVoice::Voice high = low;
    high.f0 = [&](double t) { return 2 * low.f0(t); };
    const auto lowSemitones = Semitones(TrackPitch(SyntheticVoice::Render(low, 2), kRate));
    const auto highSemitones = Semitones(TrackPitch(SyntheticVoice::Render(high, 2), kRate));
    ASSERT_EQ(lowSemitones.size(), highSemitones.size());
    std::size_t both = 0;
    for (std::size_t i = 0; i < lowSemitones.size(); ++i) {
        if (!lowSemitones[i] || !highSemitones[i])
            continue;
        ++both;
        EXPECT_NEAR(*lowSemitones[i], *highSemitones[i], 0.3) << i;
    }
    EXPECT_GT(both, 150u);

    PitchContour unvoicedOnly;
    unvoicedOnly.frames.resize(3);
    for (const auto& semitone : Semitones(unvoicedOnly))
        EXPECT_FALSE(semitone.has_value());
}

} // namespace
