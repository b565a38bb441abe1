// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/align/SpokenAlignment.h"
#include "components/speech/Mfcc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

TEST(SpokenAlignment, EachSentenceIsFoundWhereAnotherVoiceSaidItAndAnotherTextIsToldApart)
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

    // A text the recording never says matches it far less closely.
    const SpokenSentences other = aligner->Speak({"Prices rose sharply in the second quarter of the year.",
                                                  "The train to the mountains leaves at noon on Sundays.",
                                                  "Nobody here has ever seen a whale from this beach."},
                                                 0.3);
    const SpokenAlignment wrong = AlignSpoken(ComputeMfcc(other.samples, spokenSettings), other.spans, other.rate,
                                              ComputeMfcc(recording, heardSettings));
    EXPECT_LT(alignment.distanceRatio, kMismatchedRatio - 0.1);
    EXPECT_GT(wrong.distanceRatio, kMismatchedRatio);
}

} // namespace
