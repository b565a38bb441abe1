// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/sentences/PauseFinder.h"

#include <gtest/gtest.h>

#include <random>

// The pause finder on made block levels (10 ms blocks, dB): speech as stretches
// of loud blocks that waver, pauses as stretches at the noise floor.

namespace {

constexpr double kBlock = 0.01;

// Block levels made stretch by stretch.
class Levels {
public:
    explicit Levels(double noiseDb = -90, double wobbleDb = 0) : m_noise(noiseDb), m_wobble(wobbleDb) {}

    Levels& Silence(double seconds) { return Add(seconds, m_noise); }
    Levels& Speech(double seconds, double db = -20) { return Add(seconds, db); }

    LevelStream Stream(std::size_t chunk = 4096) const
    {
        return [this, chunk](const std::function<void(std::span<const float>)>& consume) {
            for (std::size_t at = 0; at < m_levels.size(); at += chunk)
                consume(std::span<const float>(m_levels).subspan(at, std::min(chunk, m_levels.size() - at)));
        };
    }

private:
    Levels& Add(double seconds, double db)
    {
        std::uniform_real_distribution<double> wobble(-m_wobble, m_wobble);
        for (long i = 0; i < std::lround(seconds / kBlock); ++i)
            m_levels.push_back(float(db + wobble(m_random)));
        return *this;
    }

    double m_noise;
    double m_wobble;
    std::mt19937 m_random{3};
    std::vector<float> m_levels;
};

#define EXPECT_SPAN_NEAR(span, expectedStart, expectedEnd, tolerance) \
    do {                                                              \
        EXPECT_NEAR((span).start, expectedStart, tolerance);          \
        EXPECT_NEAR((span).end, expectedEnd, tolerance);              \
    } while (false)

TEST(PauseFinder, CleanSpeechSplitsAtEachPauseWithAMarginInsideIt)
{
    Levels levels;
    levels.Silence(0.3).Speech(2).Silence(0.5).Speech(1.5).Silence(0.2).Speech(1).Silence(1);
    SentenceMap map = FindSentences(levels.Stream(), kBlock);
    ASSERT_EQ(map.sentences.size(), 2u) << "the 200 ms pause is too short to split";
    EXPECT_SPAN_NEAR(map.sentences[0], 0.2, 2.4, 0.02);
    EXPECT_SPAN_NEAR(map.sentences[1], 2.7, 5.6, 0.02);
    ASSERT_EQ(map.pauses.size(), 1u);
    EXPECT_SPAN_NEAR(map.pauses[0], 2.3, 2.8, 0.02);
    // The sound itself, without the margins.
    ASSERT_EQ(map.sounds.size(), 2u);
    EXPECT_SPAN_NEAR(map.sounds[0], 0.3, 2.3, 0.02);

    // A shorter shortest pause splits there too, the margin halved in it.
    SentenceMap finer = FindSentences(levels.Stream(), kBlock, {.shortestPause = 0.15});
    ASSERT_EQ(finer.sentences.size(), 3u);
    EXPECT_SPAN_NEAR(finer.sentences[1], 2.7, 4.4, 0.02);
    EXPECT_SPAN_NEAR(finer.sentences[2], 4.4, 5.6, 0.02);
}

// Every silence of 150 ms or more is listed, the ones too short to split
// included (a transcript's lines may meet there); a consonant's 80 ms
// closure is not.
TEST(PauseFinder, SilencesListEveryStillnessLongerThanAConsonant)
{
    Levels levels;
    levels.Silence(0.3).Speech(2).Silence(0.5).Speech(0.7).Silence(0.08).Speech(0.8).Silence(0.2).Speech(1).Silence(1);
    SentenceMap map = FindSentences(levels.Stream(), kBlock);
    ASSERT_EQ(map.sentences.size(), 2u);
    ASSERT_EQ(map.silences.size(), 4u);
    EXPECT_SPAN_NEAR(map.silences[0], 0, 0.3, 0.02);
    EXPECT_SPAN_NEAR(map.silences[1], 2.3, 2.8, 0.02);
    EXPECT_SPAN_NEAR(map.silences[2], 4.38, 4.58, 0.02);
    EXPECT_SPAN_NEAR(map.silences[3], 5.58, 6.58, 0.02);

    Levels silence;
    silence.Silence(3);
    EXPECT_TRUE(FindSentences(silence.Stream(), kBlock).silences.empty());
}

// The same sentences under a noise floor 10 dB below the speech, the levels
// wavering: the thresholds follow the recording, not a fixed level.
TEST(PauseFinder, NoisySpeechSplitsWhereCleanSpeechDoes)
{
    for (double noise : {-90.0, -40.0, -30.0}) {
        Levels levels(noise, 1.5);
        levels.Silence(0.3).Speech(2).Silence(0.4).Speech(1.5).Silence(0.3).Speech(2.5).Silence(0.5);
        SentenceMap map = FindSentences(levels.Stream(), kBlock);
        ASSERT_EQ(map.sentences.size(), 3u) << noise;
        EXPECT_SPAN_NEAR(map.sentences[0], 0.2, 2.4, 0.03);
        EXPECT_SPAN_NEAR(map.sentences[1], 2.6, 4.3, 0.03);
        EXPECT_SPAN_NEAR(map.sentences[2], 4.4, 7.1, 0.03);
    }
}

TEST(PauseFinder, SoundWithoutPausesIsOneSentenceAndSilenceIsNone)
{
    Levels steady;
    steady.Speech(4, -20);
    SentenceMap one = FindSentences(steady.Stream(), kBlock);
    ASSERT_EQ(one.sentences.size(), 1u);
    EXPECT_SPAN_NEAR(one.sentences[0], 0, 4, 0.011);
    EXPECT_TRUE(one.pauses.empty());

    Levels silence(-70, 3);
    silence.Silence(5);
    EXPECT_TRUE(FindSentences(silence.Stream(), kBlock).sentences.empty());
    EXPECT_TRUE(FindSentences(Levels().Stream(), kBlock).sentences.empty());
}

// A 40 s sentence is split at its longest inner silence, and again, until no
// piece is longer than 15 s.
TEST(PauseFinder, ALongSentenceIsSplitAtItsLongestInnerSilences)
{
    Levels levels;
    levels.Speech(10).Silence(0.15).Speech(4.8).Silence(0.1).Speech(10).Silence(0.2).Speech(14.5);
    SentenceMap map = FindSentences(levels.Stream(), kBlock);
    ASSERT_EQ(map.sentences.size(), 3u);
    EXPECT_SPAN_NEAR(map.sentences[0], 0, 10.075, 0.02);
    EXPECT_SPAN_NEAR(map.sentences[1], 10.075, 25.15, 0.02);
    EXPECT_SPAN_NEAR(map.sentences[2], 25.15, 39.75, 0.02);
}

// A word alone (shorter than 0.8 s) joins the sentence it is nearer to.
TEST(PauseFinder, AShortSentenceJoinsTheNeighbourAcrossTheShorterPause)
{
    Levels levels;
    levels.Speech(2).Silence(0.8).Speech(0.4).Silence(0.3).Speech(2);
    SentenceMap map = FindSentences(levels.Stream(), kBlock);
    ASSERT_EQ(map.sentences.size(), 2u);
    EXPECT_SPAN_NEAR(map.sentences[0], 0, 2.1, 0.02);
    EXPECT_SPAN_NEAR(map.sentences[1], 2.7, 5.5, 0.02);
}

// A sentence that begins softly (a rising consonant) keeps its soft start:
// the start lies before the first block that is clearly sound.
TEST(PauseFinder, ASoftStartIsNotClipped)
{
    Levels levels;
    levels.Silence(1).Speech(0.08, -75).Speech(0.05, -70).Speech(2, -20).Silence(1);
    SentenceMap map = FindSentences(levels.Stream(), kBlock, {.margin = 0});
    ASSERT_EQ(map.sentences.size(), 1u);
    EXPECT_LE(map.sentences[0].start, 1.01);
}

TEST(PauseFinder, ChunksOfAnySizeGiveTheSameSentences)
{
    Levels levels(-45, 2);
    levels.Silence(0.5).Speech(1.2).Silence(0.35).Speech(3).Silence(0.6).Speech(0.9).Silence(0.2);
    SentenceMap whole = FindSentences(levels.Stream(), kBlock);
    for (std::size_t chunk : {1, 2, 3, 7, 100}) {
        SentenceMap pieces = FindSentences(levels.Stream(chunk), kBlock);
        EXPECT_EQ(pieces.sentences, whole.sentences) << chunk;
        EXPECT_EQ(pieces.pauses, whole.pauses) << chunk;
    }
    EXPECT_EQ(whole.sentences.size(), 3u);
}

} // namespace
