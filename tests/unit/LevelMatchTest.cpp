// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/speech/LevelMatch.h"
#include "support/SyntheticVoice.h"

#include <gtest/gtest.h>

#include <cmath>

// Bringing a recording's speech to the features' level: bursts of sound at a
// given level with pauses of hiss between them stand for speech.

namespace {

constexpr int kRate = 16000;

// `seconds` of 0.6 s bursts at `speechDb` (RMS, dB of full scale) and 0.4 s
// pauses 40 dB lower.
std::vector<float> SpeechLike(double seconds, double speechDb)
{
    const double rms = std::pow(10.0, speechDb / 20);
    std::vector<float> samples;
    for (unsigned n = 0; double(samples.size()) < seconds * kRate; ++n) {
        const std::vector<float> burst = SyntheticVoice::Noise(0.6, rms, 2 * n + 1, kRate);
        const std::vector<float> pause = SyntheticVoice::Noise(0.4, rms / 100, 2 * n + 2, kRate);
        samples.insert(samples.end(), burst.begin(), burst.end());
        samples.insert(samples.end(), pause.begin(), pause.end());
    }
    samples.resize(std::size_t(seconds * kRate));
    return samples;
}

// What the match gives for `samples`, pushed in pieces of 0.1 s, and how
// much came out before Finish.
struct Matched {
    std::vector<float> out;
    std::size_t beforeFinish = 0;
    float gain = 1;
};

Matched Match(const std::vector<float>& samples)
{
    Matched matched;
    LevelMatch match(kRate, [&](std::span<const float> piece) {
        matched.out.insert(matched.out.end(), piece.begin(), piece.end());
    });
    for (std::size_t at = 0; at < samples.size(); at += kRate / 10)
        match.Push(std::span<const float>(samples).subspan(at, std::min<std::size_t>(kRate / 10, samples.size() - at)));
    matched.beforeFinish = matched.out.size();
    match.Finish();
    matched.gain = match.Gain();
    return matched;
}

double Db(float gain)
{
    return 20 * std::log10(gain);
}

TEST(LevelMatch, QuietSpeechIsRaisedToTheFeaturesLevelAndEverySampleComesOutInOrder)
{
    const std::vector<float> quiet = SpeechLike(40, -45);
    const Matched matched = Match(quiet);
    EXPECT_NEAR(Db(matched.gain), 30, 1.5);
    // The first 30 s were held until the gain was known; the rest passed at once.
    EXPECT_EQ(matched.beforeFinish, quiet.size());
    ASSERT_EQ(matched.out.size(), quiet.size());
    for (std::size_t i = 0; i < quiet.size(); i += 997)
        ASSERT_FLOAT_EQ(matched.out[i], quiet[i] * matched.gain) << i;

    // A recording shorter than what is held comes out at its end, raised too.
    const std::vector<float> shortOne = SpeechLike(5, -45);
    const Matched held = Match(shortOne);
    EXPECT_EQ(held.beforeFinish, 0u);
    EXPECT_EQ(held.out.size(), shortOne.size());
    EXPECT_NEAR(Db(held.gain), 30, 1.5);
}

TEST(LevelMatch, LoudSpeechHissAloneAndSilencePassAsTheyAre)
{
    EXPECT_EQ(Match(SpeechLike(35, -10)).gain, 1.0f);
    EXPECT_EQ(Match(SyntheticVoice::Noise(35, 0.001, 3, kRate)).gain, 1.0f);
    const Matched silence = Match(std::vector<float>(kRate * 2, 0.0f));
    EXPECT_EQ(silence.gain, 1.0f);
    EXPECT_EQ(silence.out.size(), std::size_t(kRate * 2));
    // Very quiet speech is raised by no more than 40 dB.
    EXPECT_NEAR(Db(Match(SpeechLike(35, -70)).gain), 40, 0.01);
}

} // namespace
