// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/align/SpokenAlignment.h"
#include "components/speech/Mfcc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

// A text spoken by the aligner's voice, aligned to a reading of it by another
// espeak-ng voice at another tempo, with a spoken introduction and closing
// words the text lacks, and noise: each sentence is found where the other voice said it.

namespace {

const std::vector<std::string> kText = {
    "The children walked to school along the river.",
    "It had rained all night, and the path was wet.",
    "Their teacher was waiting at the gate with an umbrella.",
    "She told them that the lesson would begin a little later.",
    "Nobody minded, because the sun was coming out at last.",
};

TEST(SpokenAlignment, EachSentenceIsFoundWhereAnotherVoiceSaidItAndATuneIsToldApart)
{
    std::string failure;
    std::vector<TimeSpan> truth;
    std::vector<float> recording;
    int rate = 0;
    {
        std::optional<SentenceSpeaker> reader = SentenceSpeaker::Open("en-us+m3", 140, failure);
        ASSERT_TRUE(reader) << failure;
        std::vector<std::string> read = {"Chapter three, read for you by a volunteer."};
        read.insert(read.end(), kText.begin(), kText.end());
        read.push_back("End of chapter three.");
        const SpokenSentences spoken = reader->Speak(read, 0.45);
        rate = spoken.rate;
        recording = spoken.samples;
        for (std::size_t i = 1; i + 1 < spoken.spans.size(); ++i)
            truth.push_back({double(spoken.spans[i].first) / rate, double(spoken.spans[i].second) / rate});
    }
    // Noise 30 dB under the speech.
    std::mt19937 random(5);
    std::normal_distribution<float> noise(0, 0.003f);
    for (float& sample : recording)
        sample += noise(random);

    std::optional<SentenceSpeaker> aligner = SentenceSpeaker::Open("en", 175, failure);
    ASSERT_TRUE(aligner) << failure;
    const SpokenSentences synthetic = aligner->Speak(kText, 0.3);
    MfccSettings spokenSettings, heardSettings;
    spokenSettings.rate = synthetic.rate;
    heardSettings.rate = rate;
    const SpokenAlignment alignment = AlignSpoken(ComputeMfcc(synthetic.samples, spokenSettings), synthetic.spans,
                                                  synthetic.rate, ComputeMfcc(recording, heardSettings));
    const std::vector<TimeSpan>& found = alignment.spans;
    ASSERT_EQ(found.size(), kText.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_NEAR(found[i].start, truth[i].start, 0.08) << "sentence " << i;
        EXPECT_NEAR(found[i].end, truth[i].end, 0.08) << "sentence " << i;
    }

    // A recording of tunes, not speech, is told apart from one that says the text.
    std::vector<float> music(recording.size());
    for (std::size_t i = 0; i < music.size(); ++i) {
        const double hz = 220.0 * (1 + double((i / std::size_t(rate)) % 4) * 0.25);
        music[i] = float(0.2 * std::sin(2 * std::numbers::pi * hz * double(i) / rate)) + noise(random);
    }
    const SpokenAlignment tune = AlignSpoken(ComputeMfcc(synthetic.samples, spokenSettings), synthetic.spans,
                                             synthetic.rate, ComputeMfcc(music, heardSettings));
    EXPECT_LT(alignment.distanceRatio, kMismatchedRatio - 0.3);
    EXPECT_GT(tune.distanceRatio, kMismatchedRatio);
}

} // namespace
