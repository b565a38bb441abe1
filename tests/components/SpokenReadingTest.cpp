// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SpokenCorpus.h"
#include "support/SyntheticVoice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

// The spoken corpora that the aligner's benchmark reads with voices other
// than the aligner's: another synthesiser, and a tempo per sentence.

namespace {

double Length(const TimeSpan& span)
{
    return span.end - span.start;
}

TEST(SpokenReadingTest, EachSentenceLastsItsLengthAtItsOwnTempoAndTheTimesFollowIt)
{
    const std::vector<std::string> sentences(3, EverydaySentences()[0]);
    const SpokenCorpus plain = MakeSpokenCorpus(sentences, {0.4, 0.7}, std::nullopt);
    const SpokenCorpus paced = MakeSpokenCorpus(sentences, {0.4, 0.7}, std::nullopt, 0.5, {"espeak-ng --stdout", {1.25, 0.8}});
    ASSERT_EQ(paced.sentences.size(), 3u);
    const double spoken = Length(plain.sentences[0]);
    const double frame = 1.0 / paced.rate;
    EXPECT_NEAR(Length(paced.sentences[0]), spoken / 1.25, 2 * frame);
    EXPECT_NEAR(Length(paced.sentences[1]), spoken / 0.8, 2 * frame);
    // A tempo not given is the sentence's own.
    EXPECT_NEAR(Length(paced.sentences[2]), spoken, frame);
    EXPECT_NEAR(paced.sentences[0].start, 0.5, frame);
    EXPECT_NEAR(paced.sentences[1].start, paced.sentences[0].end + 0.4, 2 * frame);
    EXPECT_NEAR(paced.sentences[2].start, paced.sentences[1].end + 0.7, 2 * frame);
    EXPECT_NEAR(double(paced.samples.size()) / paced.rate, paced.sentences[2].end + 0.5, 2 * frame);
}

TEST(SpokenReadingTest, AnotherSynthesiserSpeaksAtItsOwnRateAndAMissingOneIsNamed)
{
    const SpokenReading flite{"flite -voice slt -o /dev/stdout -t", {}};
    const SpokenCorpus corpus = MakeSpokenCorpus({EverydaySentences()[1], EverydaySentences()[2]}, {0.3}, 20.0, 0.5, flite);
    EXPECT_EQ(corpus.rate, 16000);
    ASSERT_EQ(corpus.sentences.size(), 2u);
    EXPECT_GT(Length(corpus.sentences[0]), 1.0);
    EXPECT_NEAR(corpus.sentences[1].start - corpus.sentences[0].end, 0.3, 2.0 / corpus.rate);

    // flite leads this sentence in with 0.2 s of clicks 46 dB below its
    // speech: the sentence starts where the speech does.
    const SpokenCorpus leadIn =
        MakeSpokenCorpus({"Our new neighbour found a letter from the city."}, {}, std::nullopt, 0.5, flite);
    const auto onset = std::ptrdiff_t(leadIn.sentences[0].start * leadIn.rate);
    const std::vector<float> firstTwentyMs(leadIn.samples.begin() + onset, leadIn.samples.begin() + onset + 320);
    EXPECT_GT(20 * std::log10(SyntheticVoice::Rms(firstTwentyMs)), -45.0);

    try {
        MakeSpokenCorpus({"A sentence."}, {}, std::nullopt, 0.5, {"no-such-synthesiser --stdout", {}});
        ADD_FAILURE() << "a synthesiser that does not exist gave sound";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("no-such-synthesiser"), std::string::npos) << error.what();
    }
}

} // namespace
