// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/speech/FrameAlignment.h"
#include "components/speech/Mfcc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

// MFCCs on made tones, and the coarse-to-fine time warping on sequences
// whose true warp is known.

namespace {

constexpr int kRate = 16000;

std::vector<float> Tone(double hz, double seconds, double amplitude)
{
    std::vector<float> samples(std::size_t(seconds * kRate));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = float(amplitude * std::sin(2 * std::numbers::pi * hz * double(i) / kRate));
    return samples;
}

double FrameDistance(const FeatureFrames& x, std::size_t i, const FeatureFrames& y, std::size_t j)
{
    double sum = 0;
    for (std::size_t d = 0; d < x.Dimensions(); ++d)
        sum += std::pow(x.Frame(i)[d] - y.Frame(j)[d], 2);
    return std::sqrt(sum);
}

// A voice-like buzz: a sawtooth, whose harmonics reach every band.
std::vector<float> Buzz(double hz, double seconds, double amplitude)
{
    std::vector<float> samples(std::size_t(seconds * kRate));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double phase = hz * double(i) / kRate;
        samples[i] = float(amplitude * 2 * (phase - std::floor(phase) - 0.5));
    }
    return samples;
}

// One frame per 10 ms whose 25 ms window fits; a louder buzz has the same
// coefficients (c0 is left out), another pitch other ones; silence stays finite.
TEST(Mfcc, FramesDescribeTheSpectrumWhateverTheLoudness)
{
    const FeatureFrames soft = ComputeMfcc(Buzz(140, 1, 0.2));
    const FeatureFrames loud = ComputeMfcc(Buzz(140, 1, 0.8));
    const FeatureFrames higher = ComputeMfcc(Buzz(600, 1, 0.2));
    ASSERT_EQ(soft.Count(), std::size_t((kRate - 400) / 160 + 1));
    EXPECT_EQ(soft.Dimensions(), 12u);
    EXPECT_LT(FrameDistance(soft, 50, loud, 50), 0.01);
    EXPECT_GT(FrameDistance(soft, 50, higher, 50), 5.0);

    const FeatureFrames silence = ComputeMfcc(std::vector<float>(8000, 0.0f));
    for (std::size_t i = 0; i < silence.Count(); ++i)
        for (float value : silence.Frame(i))
            ASSERT_TRUE(std::isfinite(value));
    EXPECT_EQ(ComputeMfcc(std::vector<float>(399, 0.1f)).Count(), 0u);
}

// With the loudness weighed in, a frame of sound and one of quiet differ in
// it, however loud the sound, and by the weight given.
TEST(Mfcc, TheLoudnessTellsSoundFromQuietByItsWeight)
{
    std::vector<float> samples = Buzz(140, 0.5, 0.3);
    samples.resize(samples.size() * 2, 0.0f);
    MfccSettings settings;
    settings.loudnessWeight = 2.0;
    const FeatureFrames weighed = ComputeMfcc(samples, settings);
    settings.loudnessWeight = 1.0;
    const FeatureFrames once = ComputeMfcc(samples, settings);
    ASSERT_EQ(weighed.Dimensions(), 13u);
    const float loud = weighed.Frame(20)[12], quiet = weighed.Frame(weighed.Count() - 5)[12];
    EXPECT_GT(loud - quiet, 20.0f);
    EXPECT_NEAR(loud - quiet, 2 * (once.Frame(20)[12] - once.Frame(once.Count() - 5)[12]), 1e-3);
    for (std::size_t d = 0; d < 12; ++d)
        EXPECT_FLOAT_EQ(weighed.Frame(20)[d], once.Frame(20)[d]) << d;
}

TEST(Mfcc, SubtractingTheMeansLeavesEachCoefficientCentred)
{
    std::vector<float> samples = Tone(300, 0.5, 0.3);
    const std::vector<float> second = Tone(2500, 0.5, 0.3);
    samples.insert(samples.end(), second.begin(), second.end());
    FeatureFrames frames = ComputeMfcc(samples);
    SubtractMeans(frames);
    for (std::size_t d = 0; d < frames.Dimensions(); ++d) {
        double sum = 0;
        for (std::size_t i = 0; i < frames.Count(); ++i)
            sum += frames.Frame(i)[d];
        EXPECT_NEAR(sum / double(frames.Count()), 0.0, 1e-4) << d;
    }
}

// A smooth random contour of `length` frames in three dimensions.
FeatureFrames Contour(std::size_t length, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<float> step(0, 1);
    FeatureFrames frames(3, 0.01);
    std::vector<float> value(3, 0.0f), velocity(3, 0.0f);
    for (std::size_t i = 0; i < length; ++i) {
        for (std::size_t d = 0; d < 3; ++d) {
            velocity[d] = 0.9f * velocity[d] + 0.3f * step(random);
            value[d] += velocity[d];
        }
        frames.Add(value);
    }
    return frames;
}

// `frames` read at `where(j)` for each frame j of the result (linear between frames).
template <typename Where> FeatureFrames Warped(const FeatureFrames& frames, std::size_t length, Where where)
{
    FeatureFrames warped(frames.Dimensions(), frames.HopSeconds());
    std::vector<float> value(frames.Dimensions());
    for (std::size_t j = 0; j < length; ++j) {
        const double t = std::clamp(where(j), 0.0, double(frames.Count() - 1));
        const auto i = std::size_t(t);
        const std::size_t next = std::min(i + 1, frames.Count() - 1);
        for (std::size_t d = 0; d < value.size(); ++d)
            value[d] = float((1 - (t - double(i))) * frames.Frame(i)[d] + (t - double(i)) * frames.Frame(next)[d]);
        warped.Add(value);
    }
    return warped;
}

// A sequence against itself read 25 % slower in its first half and 20 %
// faster in its second: the path finds each frame's partner within two
// frames, as the whole matrix would, with far fewer cells searched.
TEST(FrameAlignment, APathFollowsAKnownChangeOfTempo)
{
    const FeatureFrames original = Contour(3000, 7);
    // Frame j of the take shows original frame where(j).
    const auto where = [](std::size_t j) {
        const double t = double(j);
        return t < 1875 ? t / 1.25 : 1500 + (t - 1875) * 1.2;
    };
    const FeatureFrames take = Warped(original, 3125, where);
    const FrameAlignment alignment = AlignFrames(original, take, 8);
    ASSERT_FALSE(alignment.path.empty());
    EXPECT_EQ(alignment.path.front(), (FramePair{0, 0}));
    EXPECT_EQ(alignment.path.back(), (FramePair{2999, 3124}));
    std::size_t far = 0;
    for (std::size_t k = 1; k < alignment.path.size(); ++k) {
        const FramePair& step = alignment.path[k];
        const FramePair& before = alignment.path[k - 1];
        ASSERT_TRUE(step.a - before.a <= 1 && step.b - before.b <= 1 && step.a + step.b > before.a + before.b);
        far += std::abs(where(step.b) - double(step.a)) > 2;
    }
    EXPECT_LE(far, alignment.path.size() / 100) << "pairs more than two frames off the true warp";
}

// A stretch of a sequence read somewhat slower, found in the whole of it:
// what comes before and after is left out.
TEST(FrameAlignment, AStretchIsLocatedWithinALongerSequence)
{
    const FeatureFrames whole = Contour(2400, 11);
    const FeatureFrames middle = Warped(whole, 1000, [](std::size_t j) { return 700 + double(j) * 1.2; });
    const auto found = LocateWithin(middle, whole);
    ASSERT_TRUE(found);
    EXPECT_NEAR(double(found->first), 700, 2);
    EXPECT_NEAR(double(found->second), 700 + 999 * 1.2, 2);
    EXPECT_FALSE(LocateWithin(middle, FeatureFrames(3, 0.01)));
}

TEST(FrameAlignment, ShortSequencesAreAlignedWholeAndEmptyOnesNotAtAll)
{
    const FeatureFrames a = Contour(20, 3);
    const FrameAlignment self = AlignFrames(a, a, 4);
    ASSERT_EQ(self.path.size(), 20u);
    EXPECT_DOUBLE_EQ(self.cost, 0.0);
    for (std::uint32_t i = 0; i < 20; ++i)
        EXPECT_EQ(self.path[i], (FramePair{i, i}));

    const FrameAlignment lopsided = AlignFrames(Contour(500, 4), Contour(3, 5), 4);
    EXPECT_EQ(lopsided.path.back(), (FramePair{499, 2}));
    EXPECT_TRUE(AlignFrames(a, FeatureFrames(3, 0.01)).path.empty());
}

} // namespace
