// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/align/SpokenAlignment.h"
#include "components/align/WindowedAlignment.h"
#include "components/speech/Mfcc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>

// The windowed warp on a minute of speech cut into windows of a few seconds,
// so that window ends fall inside sentences: a reading by another espeak-ng
// voice at changing tempos with an introduction the text lacks, timed by the
// aligner's voice.

namespace {

// Windows of 9 s whose sentences ending in the first 5 s are timed; the
// reading's first and last 9 s looked for within up to 6 s more.
WindowSettings ShortWindows()
{
    WindowSettings settings;
    settings.windowSeconds = 9;
    settings.keptSeconds = 5;
    settings.endsSeconds = 9;
    settings.unmatchedSeconds = 6;
    return settings;
}

FeatureFrames Features(const std::vector<float>& samples, int rate)
{
    MfccSettings settings;
    settings.rate = rate;
    settings.loudnessWeight = 2;
    return ComputeMfcc(samples, settings);
}

const std::vector<std::string> kText = {
    "The children walked to school along the river.",
    "It had rained all night, and the path was wet.",
    "Their teacher was waiting at the gate with an umbrella.",
    "She told them that the lesson would begin a little later.",
    "Nobody minded, because the sun was coming out at last.",
    "The baker on the corner had just opened his shop.",
    "A smell of fresh bread drifted across the square.",
    "Two old men were playing chess under the chestnut tree.",
    "One of them had been winning every game since spring.",
    "The other said that he would win next year.",
    "At noon the church bells rang over the roofs.",
    "Somebody had left a red bicycle by the fountain.",
    "A dog sat beside it as if it were guarding it.",
    "In the evening the whole town came out to walk.",
};

struct Material {
    std::vector<float> recording;
    int rate = 0;
    std::vector<TimeSpan> truth;  // of the text's sentences in the recording
    SpokenSentences synthetic;
};

// Speaks `sentences` with `voice` at `wordsPerMinute` after `recording`,
// following a pause of `pause` seconds, and notes where each sentence is.
void ReadOn(Material& made, const std::vector<std::string>& sentences, const std::string& voice, int wordsPerMinute,
            double pause, bool kept)
{
    std::string failure;
    const std::optional<SentenceSpeaker> reader = SentenceSpeaker::Open(voice, wordsPerMinute, failure);
    if (!reader)
        throw std::runtime_error("no synthesiser: " + failure);
    const SpokenSentences spoken = reader->Speak(sentences, 0.45);
    made.rate = spoken.rate;
    made.recording.resize(made.recording.size() + std::size_t(pause * spoken.rate), 0.0f);
    const double offset = double(made.recording.size()) / spoken.rate;
    made.recording.insert(made.recording.end(), spoken.samples.begin(), spoken.samples.end());
    if (kept)
        for (const auto& [begin, end] : spoken.spans)
            made.truth.push_back({offset + double(begin) / spoken.rate, offset + double(end) / spoken.rate});
}

// An introduction the text lacks, then the text by another voice at three
// tempos in turn, under noise 30 dB below the speech.
const Material& Chapter()
{
    static const Material material = [] {
        Material made;
        ReadOn(made, {"This recording is in the public domain, read for you by a volunteer."}, "en-us+m3", 150, 0.5,
               false);
        const int tempos[] = {130, 185, 150};
        for (std::size_t first = 0; first < kText.size(); first += 3) {
            const std::vector<std::string> part(kText.begin() + std::ptrdiff_t(first),
                                                kText.begin() + std::ptrdiff_t(std::min(first + 3, kText.size())));
            ReadOn(made, part, "en-us+m3", tempos[(first / 3) % 3], 0.3 + 0.2 * double((first / 3) % 3), true);
        }
        made.recording.resize(made.recording.size() + std::size_t(made.rate / 2), 0.0f);
        std::mt19937 random(7);
        std::normal_distribution<float> noise(0, 0.003f);
        for (float& sample : made.recording)
            sample += noise(random);
        std::string failure;
        const std::optional<SentenceSpeaker> speaker = SentenceSpeaker::Open("en", 165, failure);
        if (!speaker)
            throw std::runtime_error("no synthesiser: " + failure);
        made.synthetic = speaker->Speak(kText, 0.3);
        return made;
    }();
    return material;
}

SpokenAlignment AlignWhole(const WindowSettings& settings)
{
    const Material& chapter = Chapter();
    return AlignSpoken(Features(chapter.synthetic.samples, chapter.synthetic.rate), chapter.synthetic.spans,
                       chapter.synthetic.rate, Features(chapter.recording, chapter.rate), settings);
}

TEST(WindowedAlignment, WindowEndsInsideSentencesShiftNoSentence)
{
    WindowSettings oneWindow;
    oneWindow.windowSeconds = 3600;
    const SpokenAlignment whole = AlignWhole(oneWindow);
    const SpokenAlignment windowed = AlignWhole(ShortWindows());
    const std::vector<TimeSpan>& truth = Chapter().truth;
    ASSERT_EQ(whole.spans.size(), kText.size());
    ASSERT_EQ(windowed.spans.size(), kText.size());
    for (std::size_t i = 0; i < kText.size(); ++i) {
        EXPECT_NEAR(windowed.spans[i].start, truth[i].start, 0.05) << "sentence " << i;
        EXPECT_NEAR(windowed.spans[i].start, whole.spans[i].start, 0.03) << "sentence " << i;
        EXPECT_NEAR(windowed.spans[i].end, whole.spans[i].end, 0.03) << "sentence " << i;
    }
    EXPECT_LT(windowed.distanceRatio, kMismatchedRatio - 0.3);
    EXPECT_NEAR(windowed.distanceRatio, whole.distanceRatio, 0.1);
}

TEST(WindowedAlignment, InputComingPieceByPieceIsTimedInTextOrderOnceAndAsIfGivenWhole)
{
    const Material& chapter = Chapter();
    const FeatureFrames synthetic = Features(chapter.synthetic.samples, chapter.synthetic.rate);
    const FeatureFrames heard = Features(chapter.recording, chapter.rate);
    const double rate = chapter.synthetic.rate;

    WindowedAligner aligner(ShortWindows());
    std::vector<TimeSpan> timed;
    std::size_t timedBeforeTheEnd = 0;
    std::size_t syntheticFed = 0, heardFed = 0, sentencesFed = 0;
    // The recording comes a little faster than the reading, in other pieces.
    while (syntheticFed < synthetic.Count() || heardFed < heard.Count()) {
        const std::size_t syntheticPiece = std::min<std::size_t>(37, synthetic.Count() - syntheticFed);
        aligner.Synthetic().Append(synthetic.Part(syntheticFed, syntheticPiece));
        syntheticFed += syntheticPiece;
        while (sentencesFed < kText.size()
               && double(chapter.synthetic.spans[sentencesFed].second) / rate * 100 < double(syntheticFed)) {
            const auto [begin, end] = chapter.synthetic.spans[sentencesFed++];
            aligner.AddSentence({double(begin) / rate, double(end) / rate});
        }
        const std::size_t heardPiece = std::min<std::size_t>(53, heard.Count() - heardFed);
        aligner.Heard().Append(heard.Part(heardFed, heardPiece));
        heardFed += heardPiece;
        const std::vector<TimeSpan> spans = aligner.Advance();
        timed.insert(timed.end(), spans.begin(), spans.end());
        timedBeforeTheEnd = timed.size();
        EXPECT_FALSE(aligner.Done());
    }
    // The last sentence's frames come only with the end of the sound.
    EXPECT_EQ(sentencesFed, kText.size() - 1);
    const auto [begin, end] = chapter.synthetic.spans.back();
    aligner.AddSentence({double(begin) / rate, double(end) / rate});
    aligner.Synthetic().Finish();
    aligner.Heard().Finish();
    aligner.EndSentences();
    const std::vector<TimeSpan> rest = aligner.Advance();
    timed.insert(timed.end(), rest.begin(), rest.end());
    EXPECT_TRUE(aligner.Done());
    EXPECT_TRUE(aligner.Advance().empty());

    // Sentences were timed while the input still came, but not all of them.
    EXPECT_GT(timedBeforeTheEnd, 2u);
    EXPECT_LT(timedBeforeTheEnd, kText.size());
    const SpokenAlignment whole = AlignWhole(ShortWindows());
    ASSERT_EQ(timed.size(), kText.size());
    for (std::size_t i = 0; i < kText.size(); ++i) {
        EXPECT_EQ(timed[i], whole.spans[i]) << "sentence " << i;
        if (i > 0) {
            EXPECT_GE(timed[i].start, timed[i - 1].end) << "sentence " << i;
        }
    }
    EXPECT_DOUBLE_EQ(aligner.DistanceRatio(), whole.distanceRatio);
}

TEST(WindowedAlignment, NoSoundOrNoSentencesEndsWithNothingTimed)
{
    WindowedAligner silent;
    silent.Synthetic().Append(Features(Chapter().synthetic.samples, Chapter().synthetic.rate));
    silent.AddSentence({0, 1});
    EXPECT_TRUE(silent.Advance().empty());
    EXPECT_FALSE(silent.Done());
    silent.Synthetic().Finish();
    silent.EndSentences();
    silent.Heard().Finish();
    EXPECT_TRUE(silent.Advance().empty());
    EXPECT_TRUE(silent.Done());
    EXPECT_DOUBLE_EQ(silent.DistanceRatio(), 1);

    WindowedAligner wordless;
    wordless.Heard().Append(Features(Chapter().recording, Chapter().rate));
    wordless.Heard().Finish();
    wordless.Synthetic().Finish();
    wordless.EndSentences();
    EXPECT_TRUE(wordless.Advance().empty());
    EXPECT_TRUE(wordless.Done());
}

TEST(WindowedAlignment, ARecordingThatStopsHalfWayStillEndsWithEverySentenceInOrderWithinIt)
{
    const Material& chapter = Chapter();
    const FeatureFrames heard = Features(chapter.recording, chapter.rate);
    const FeatureFrames half = heard.Part(0, heard.Count() / 2);
    const SpokenAlignment found = AlignSpoken(Features(chapter.synthetic.samples, chapter.synthetic.rate),
                                              chapter.synthetic.spans, chapter.synthetic.rate, half, ShortWindows());
    ASSERT_EQ(found.spans.size(), kText.size());
    const double length = double(half.Count()) * half.HopSeconds();
    for (std::size_t i = 0; i < found.spans.size(); ++i) {
        EXPECT_LE(found.spans[i].start, found.spans[i].end) << "sentence " << i;
        EXPECT_LE(found.spans[i].end, length) << "sentence " << i;
        if (i > 0) {
            EXPECT_GE(found.spans[i].start, found.spans[i - 1].end) << "sentence " << i;
        }
    }
    // The sentences the recording does say are still found.
    EXPECT_NEAR(found.spans[0].start, chapter.truth[0].start, 0.05);
    EXPECT_NEAR(found.spans[1].start, chapter.truth[1].start, 0.05);
}

TEST(GrowingFrames, FramesComeBackToThreeDigitsAndThoseDroppedAreGone)
{
    FeatureFrames frames(3, 0.01);
    for (int i = 0; i < 100; ++i)
        frames.Add(std::vector<float>{float(i) * 1.37f, -float(i) / 7.0f, 1000.0f + float(i)});
    GrowingFrames growing;
    EXPECT_EQ(growing.Count(), 0u);
    growing.Append(frames.Part(0, 40));
    growing.Append(frames.Part(40, 60));
    EXPECT_EQ(growing.Count(), 100u);
    EXPECT_FALSE(growing.Finished());
    growing.DropBefore(30);
    EXPECT_EQ(growing.Count(), 100u);
    const FeatureFrames part = growing.Part(30, 70);
    ASSERT_EQ(part.Count(), 70u);
    EXPECT_EQ(part.Dimensions(), 3u);
    EXPECT_DOUBLE_EQ(part.HopSeconds(), 0.01);
    for (std::size_t i = 0; i < part.Count(); ++i)
        for (std::size_t d = 0; d < 3; ++d) {
            const float truth = frames.Frame(30 + i)[d];
            EXPECT_NEAR(part.Frame(i)[d], truth, std::abs(truth) / 256) << i << " " << d;
        }
    EXPECT_THROW(growing.Part(29, 2), std::logic_error);
    EXPECT_THROW(growing.Part(90, 11), std::logic_error);
    growing.Finish();
    EXPECT_TRUE(growing.Finished());
}

} // namespace

// Another text in the same language spoken onto the chapter's recording has
// a distance ratio like the right text's, but its sentence boundaries miss the
// recording's pauses and it fits hardly better than backwards; the right
// text's boundaries all fall in pauses.
TEST(WindowedAlignment, AnotherTextInTheSameLanguageIsToldByItsBoundariesOutsidePauses)
{
    WindowSettings settings;
    settings.loudness = std::size_t(MfccSettings().coefficients);
    const Material& chapter = Chapter();
    const FeatureFrames heard = Features(chapter.recording, chapter.rate);
    const SpokenAlignment right = AlignSpoken(Features(chapter.synthetic.samples, chapter.synthetic.rate),
                                              chapter.synthetic.spans, chapter.synthetic.rate, heard, settings);
    ASSERT_TRUE(right.firstFit);
    ASSERT_TRUE(right.firstFit->pausedBoundaries);
    EXPECT_EQ(right.firstFit->boundaries, kText.size() - 1);
    EXPECT_GE(*right.firstFit->pausedBoundaries, 0.9);
    EXPECT_EQ(MismatchOf(*right.firstFit), "");

    std::string failure;
    const std::optional<SentenceSpeaker> speaker = SentenceSpeaker::Open("en", 165, failure);
    ASSERT_TRUE(speaker) << failure;
    const std::vector<std::string> other(kText.rbegin(), kText.rend());
    const SpokenSentences spoken = speaker->Speak(other, 0.3);
    const SpokenAlignment wrong =
        AlignSpoken(Features(spoken.samples, spoken.rate), spoken.spans, spoken.rate, heard, settings);
    ASSERT_TRUE(wrong.firstFit);
    ASSERT_TRUE(wrong.firstFit->pausedBoundaries);
    EXPECT_LT(wrong.firstFit->distanceRatio, kMismatchedRatio);
    EXPECT_LT(*wrong.firstFit->pausedBoundaries, kMismatchedPausedBoundaries);
    EXPECT_NE(MismatchOf(*wrong.firstFit).find("sentence ends"), std::string::npos) << MismatchOf(*wrong.firstFit);

    // The reading in its order fits the right recording far better than
    // backwards, and the wrong one hardly better.
    ASSERT_TRUE(right.firstFit->orderGain && wrong.firstFit->orderGain);
    EXPECT_GT(*right.firstFit->orderGain, kMismatchedOrderGain + 0.05);
    EXPECT_LT(*wrong.firstFit->orderGain, kMismatchedOrderGain);

    // Too few boundaries to judge by: the order gain tells, and without
    // it only the distance ratio.
    WarpFit few = *wrong.firstFit;
    few.boundaries = kBoundariesToJudge - 1;
    EXPECT_NE(MismatchOf(few).find("played backwards"), std::string::npos) << MismatchOf(few);
    few.orderGain.reset();
    EXPECT_EQ(MismatchOf(few), "");
    few.distanceRatio = kMismatchedRatio + 0.05;
    EXPECT_NE(MismatchOf(few).find("distance ratio"), std::string::npos);
}
