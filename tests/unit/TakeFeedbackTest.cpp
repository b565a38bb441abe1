// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/align/SpokenSentences.h"
#include "components/speech/TakeComparison.h"
#include "support/SyntheticVoice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>

// Takes rendered from the original's own score with a known change: a warp
// of its time, something added, another melody, or not a take at all.

namespace {

using SyntheticVoice::kRate;
constexpr double kSeconds = 3;

// A sentence's melody: a gentle wave, then a final rise (a question).
double Question(double t)
{
    return 130 + 15 * std::sin(2 * std::numbers::pi * 0.6 * t) + (t > 2.4 ? 100 * (t - 2.4) : 0);
}

SyntheticVoice::Voice Speaker(SyntheticVoice::Curve f0 = Question)
{
    SyntheticVoice::Voice voice;
    voice.f0 = std::move(f0);
    return voice;
}

TakeComparison Compare(const std::vector<float>& original, const std::vector<float>& take)
{
    return CompareTake({original, kRate}, {take, kRate});
}

double Overlap(const TimeSpan& x, double start, double end)
{
    return std::max(0.0, std::min(x.end, end) - std::max(x.start, start));
}

TEST(TakeComparison, TheSameTakeIsOnTimeAndInTune)
{
    const std::vector<float> original = SyntheticVoice::Render(Speaker(), kSeconds);
    const TakeComparison same = Compare(original, original);
    ASSERT_FALSE(same.reason) << *same.reason;
    EXPECT_TRUE(same.slower.empty());
    EXPECT_TRUE(same.faster.empty());
    EXPECT_TRUE(same.unmatched.empty());
    ASSERT_TRUE(same.melodyScore);
    EXPECT_GT(*same.melodyScore, 95);
    EXPECT_GT(same.timingScore, 95);
    for (std::size_t i = 0; i < same.takeFrame.size(); ++i) {
        ASSERT_TRUE(same.takeFrame[i]) << i;
        EXPECT_EQ(*same.takeFrame[i], i);
    }
}

TEST(TakeComparison, AMiddleSaidSlowerIsMarkedThereAndNowhereElse)
{
    // Score time 1.0..1.6 s takes 0.9 s of the take.
    const auto warp = [](double t) { return t < 1.0 ? t : t < 1.9 ? 1.0 + (t - 1.0) / 1.5 : t - 0.3; };
    const std::vector<float> original = SyntheticVoice::Render(Speaker(), kSeconds);
    const TakeComparison slower = Compare(original, SyntheticVoice::Render(Speaker(), kSeconds + 0.3, warp));
    ASSERT_FALSE(slower.reason) << *slower.reason;
    ASSERT_EQ(slower.slower.size(), 1u);
    EXPECT_GT(Overlap(slower.slower[0], 1.0, 1.6), 0.3);
    EXPECT_GT(slower.slower[0].start, 0.85);
    EXPECT_LT(slower.slower[0].end, 1.75);
    EXPECT_TRUE(slower.faster.empty());
    EXPECT_TRUE(slower.unmatched.empty());
    // Where the take follows the original, its frames are the original's shifted by the warp.
    EXPECT_NEAR(double(*slower.takeFrame[250]), 280, 3);
    EXPECT_NEAR(double(*slower.takeFrame[50]), 50, 3);

    const TakeComparison even = Compare(original, original);
    EXPECT_LT(slower.timingScore, even.timingScore);
    EXPECT_GT(*slower.melodyScore, 85);
}

// A learner who says the whole sentence slower is not told that every word
// was slow; the word said slower still than the rest is.
TEST(TakeComparison, TempoMarksAreAgainstTheTakesOwnTempo)
{
    const std::vector<float> original = SyntheticVoice::Render(Speaker(), kSeconds);
    const TakeComparison even =
        Compare(original, SyntheticVoice::Render(Speaker(), 1.5 * kSeconds, [](double t) { return t / 1.5; }));
    ASSERT_FALSE(even.reason) << *even.reason;
    EXPECT_TRUE(even.slower.empty());
    EXPECT_TRUE(even.faster.empty());
    EXPECT_NEAR(double(*even.tempo[150]), 1.5, 0.1);

    // Score time 1.0..1.6 s said twice as slowly again: 1.8 s of the take.
    const auto warp = [](double t) { return t < 1.5 ? t / 1.5 : t < 3.3 ? 1.0 + (t - 1.5) / 3 : 1.6 + (t - 3.3) / 1.5; };
    const TakeComparison uneven = Compare(original, SyntheticVoice::Render(Speaker(), 1.5 * kSeconds + 0.9, warp));
    ASSERT_FALSE(uneven.reason) << *uneven.reason;
    ASSERT_EQ(uneven.slower.size(), 1u);
    EXPECT_GT(Overlap(uneven.slower[0], 1.0, 1.6), 0.4);
    EXPECT_TRUE(uneven.faster.empty());
}

TEST(TakeComparison, NoiseInsertedInTheTakeIsNotMatchedNorSlow)
{
    const std::vector<float> original = SyntheticVoice::Render(Speaker(), kSeconds);
    std::vector<float> take(original.begin(), original.begin() + std::ptrdiff_t(1.2 * kRate));
    const std::vector<float> cough = SyntheticVoice::Noise(0.3, 2 * SyntheticVoice::Rms(original));
    take.insert(take.end(), cough.begin(), cough.end());
    take.insert(take.end(), original.begin() + std::ptrdiff_t(1.2 * kRate), original.end());

    const TakeComparison result = Compare(original, take);
    ASSERT_FALSE(result.reason) << *result.reason;
    ASSERT_EQ(result.unmatched.size(), 1u);
    EXPECT_GT(Overlap(result.unmatched[0].take, 1.2, 1.5), 0.2);
    EXPECT_LT(result.unmatched[0].original.Length(), 0.1);
    EXPECT_NEAR(result.unmatched[0].original.start, 1.2, 0.1);
    EXPECT_TRUE(result.slower.empty());
    EXPECT_TRUE(result.faster.empty());
    EXPECT_NEAR(double(*result.takeFrame[200]), 230, 3);
}

TEST(TakeComparison, APartLeftOutIsNotMatchedNorFast)
{
    const std::vector<float> original = SyntheticVoice::Render(Speaker(), kSeconds);
    // One syllable, from one quiet trough to the next.
    std::vector<float> take(original.begin(), original.begin() + std::ptrdiff_t(1.212 * kRate));
    take.insert(take.end(), original.begin() + std::ptrdiff_t(1.515 * kRate), original.end());

    const TakeComparison result = Compare(original, take);
    ASSERT_FALSE(result.reason) << *result.reason;
    ASSERT_EQ(result.unmatched.size(), 1u);
    EXPECT_GT(Overlap(result.unmatched[0].original, 1.212, 1.515), 0.2);
    EXPECT_LT(result.unmatched[0].take.Length(), 0.1);
    EXPECT_FALSE(result.takeFrame[140]); // never forced onto a neighbour
    EXPECT_TRUE(result.faster.empty());
    EXPECT_TRUE(result.slower.empty());
    EXPECT_NEAR(double(*result.takeFrame[200]), 170, 3);
}

// An original at the synthesiser's rate and a take at the microphone's.
TEST(TakeComparison, SoundsAtDifferentRatesCompareOnOneTimeAxis)
{
    const std::vector<float> original = SyntheticVoice::Render(Speaker(), kSeconds, {[](double t) { return t; }}, 22050);
    const std::vector<float> take = SyntheticVoice::Render(Speaker(), kSeconds, {[](double t) { return t; }}, 44100);
    const TakeComparison result = CompareTake({original, 22050}, {take, 44100});
    ASSERT_FALSE(result.reason) << *result.reason;
    EXPECT_TRUE(result.slower.empty());
    EXPECT_TRUE(result.faster.empty());
    EXPECT_TRUE(result.unmatched.empty());
    EXPECT_GT(result.melodyScore.value_or(0), 90);
    EXPECT_NEAR(double(*result.takeFrame[150]), 150, 2);
}

TEST(TakeComparison, AChangedMelodyScoresLowerThanTheSameAtAnotherPitch)
{
    const std::vector<float> original = SyntheticVoice::Render(Speaker(), kSeconds);
    const auto melody = [&](SyntheticVoice::Curve f0) {
        const TakeComparison result = Compare(original, SyntheticVoice::Render(Speaker(std::move(f0)), kSeconds));
        EXPECT_FALSE(result.reason) << *result.reason;
        return result.melodyScore.value_or(-1);
    };
    const double higher = melody([](double t) { return 1.6 * Question(t); });
    const double flattened = melody([](double) { return 140.0; });
    const double falling = melody([](double t) { return t > 2.4 ? Question(2.4) - 100 * (t - 2.4) : Question(t); });
    EXPECT_GT(higher, 90);
    EXPECT_LT(flattened, higher - 20);
    EXPECT_LT(falling, higher - 20);
}

TEST(TakeComparison, WhatCannotBeComparedGivesAReason)
{
    const std::vector<float> original = SyntheticVoice::Render(Speaker(), kSeconds);
    const auto reason = [&](const std::vector<float>& from, const std::vector<float>& take) {
        const TakeComparison result = Compare(from, take);
        EXPECT_TRUE(result.takeFrame.empty());
        return result.reason.value_or("");
    };
    EXPECT_NE(reason(original, std::vector<float>(kRate * 3, 0.0f)).find("silent"), std::string::npos);
    EXPECT_NE(reason(original, SyntheticVoice::Noise(3, 0.05)).find("no voiced"), std::string::npos);

    // A whisper with a moment of voice in it.
    std::vector<float> whisper = SyntheticVoice::Noise(3, 0.05);
    const std::vector<float> moment = SyntheticVoice::Render(Speaker(), 0.2);
    std::copy(moment.begin(), moment.end(), whisper.begin() + kRate);
    EXPECT_NE(reason(original, whisper).find("whispered"), std::string::npos);

    std::vector<float> tenTimes;
    for (int i = 0; i < 10; ++i)
        tenTimes.insert(tenTimes.end(), original.begin(), original.end());
    EXPECT_NE(reason(original, tenTimes).find("10.0 times"), std::string::npos);

    SyntheticVoice::Voice organ = Speaker([](double) { return 220.0; });
    organ.syllables = false;
    EXPECT_NE(reason(SyntheticVoice::Render(organ, kSeconds), original).find("no speech-like melody"),
              std::string::npos);

    SyntheticVoice::Voice tune = Speaker([](double t) { return 220 * std::pow(2.0, int(t / 0.4) % 4 * 3 / 12.0); });
    EXPECT_NE(reason(SyntheticVoice::Render(tune, kSeconds), original).find("like music"), std::string::npos);

    // A steady buzz says nothing of the original's words, whatever its melody.
    SyntheticVoice::Voice drone = Speaker();
    drone.formants = false;
    drone.syllables = false;
    EXPECT_NE(reason(original, SyntheticVoice::Render(drone, kSeconds)).find("does not seem to say"),
              std::string::npos);
}

// Real speech: a sentence said by another voice, higher and slower, is a
// take of it; the same said in a whisper is not one, nor another sentence.
TEST(TakeComparison, ASpokenSentenceInAnotherVoiceComparesAndAWhisperOrAnotherSentenceDoesNot)
{
    const auto say = [](const char* voice, int wordsPerMinute,
                        const char* text = "Could you tell me the way to the station, please?") {
        std::string failure;
        const auto speaker = SentenceSpeaker::Open(voice, wordsPerMinute, failure);
        if (!speaker)
            throw std::runtime_error(failure);
        return speaker->Speak({text}, 0.2);
    };
    const SpokenSentences original = say("en", 160);
    const auto compare = [&](const SpokenSentences& take) {
        return CompareTake({original.samples, original.rate}, {take.samples, take.rate});
    };
    const TakeComparison take = compare(say("en+f3", 130));
    ASSERT_FALSE(take.reason) << *take.reason;
    EXPECT_TRUE(take.unmatched.empty());
    EXPECT_GT(take.melodyScore.value_or(0), 60);
    EXPECT_GT(take.timingScore, 30);

    const TakeComparison whispered = compare(say("en+whisper", 160));
    ASSERT_TRUE(whispered.reason);
    EXPECT_TRUE(whispered.reason->find("whisper") != std::string::npos) << *whispered.reason;

    for (const char* voice : {"en", "en+m3"}) {
        const TakeComparison other = compare(say(voice, 160, "Did you finish the report yesterday evening?"));
        ASSERT_TRUE(other.reason) << voice;
        EXPECT_TRUE(other.reason->find("does not seem to say") != std::string::npos) << *other.reason;
        EXPECT_TRUE(other.takeFrame.empty());
    }
}

// A take recorded 20 or 40 dB quieter (a microphone set low) was once
// refused as not saying the sentence: its sounds sank under the features' floor.
TEST(TakeComparison, AQuietTakeComparesAsTheSameTakeRecordedLouder)
{
    const auto say = [](const char* voice, int wordsPerMinute) {
        std::string failure;
        const auto speaker = SentenceSpeaker::Open(voice, wordsPerMinute, failure);
        if (!speaker)
            throw std::runtime_error(failure);
        return speaker->Speak({"Could you tell me the way to the station, please?"}, 0.2);
    };
    const SpokenSentences original = say("en", 160);
    const SpokenSentences take = say("en+f3", 130);
    const auto compareAt = [&](float gain) {
        std::vector<float> samples = take.samples;
        std::mt19937 random(3);
        std::normal_distribution<float> hiss(0, 0.0003f);
        for (float& sample : samples)
            sample = (sample + hiss(random)) * gain;
        return CompareTake({original.samples, original.rate}, {samples, take.rate});
    };
    const TakeComparison loud = compareAt(1);
    ASSERT_FALSE(loud.reason) << *loud.reason;
    for (float gain : {0.1f, 0.01f}) {
        const TakeComparison quiet = compareAt(gain);
        ASSERT_FALSE(quiet.reason) << gain << ": " << *quiet.reason;
        EXPECT_NEAR(quiet.melodyScore.value_or(0), loud.melodyScore.value_or(0), 3) << gain;
        EXPECT_NEAR(quiet.timingScore, loud.timingScore, 3) << gain;
        EXPECT_EQ(quiet.slower.size(), loud.slower.size()) << gain;
        EXPECT_EQ(quiet.unmatched.size(), loud.unmatched.size()) << gain;
    }
}

// The original's own sounds in the opposite order say nothing of it.
TEST(TakeComparison, TheOriginalBackwardsIsNotATakeOfIt)
{
    const std::vector<float> original = SyntheticVoice::Render(Speaker(), kSeconds);
    const std::vector<float> backwards(original.rbegin(), original.rend());
    const TakeComparison result = Compare(original, backwards);
    ASSERT_TRUE(result.reason);
    EXPECT_TRUE(result.reason->find("played backwards") != std::string::npos) << *result.reason;
}

} // namespace
