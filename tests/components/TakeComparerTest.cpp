// SPDX-License-Identifier: GPL-3.0-or-later
// The take comparer on GStreamer: a sentence decoded from a stretch of the
// media and a take decoded whole, compared in the background.

#include "components/feedback/BackgroundTakeComparer.h"
#include "components/takes/TakeDecoding.h"
#include "support/FileBytes.h"
#include "support/PlayerMedia.h"
#include "support/SyntheticVoice.h"
#include "support/WavFile.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int kRate = SyntheticVoice::kRate;

std::vector<float> Silence(double seconds)
{
    return std::vector<float>(std::size_t(seconds * kRate), 0.0f);
}

std::vector<float> Joined(std::initializer_list<std::vector<float>> parts)
{
    std::vector<float> joined;
    for (const std::vector<float>& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

// A stretch decoded from the middle of an MP3 is that stretch, to the
// millisecond: found in the whole file's sound by its content (white noise).
TEST(TakeDecodingTest, AStretchOfAnMp3IsDecodedFromItsExactStart)
{
    const std::string media = PlayerMedia::CbrMp3();
    const std::vector<float> whole = DecodeMonoSound(media, std::nullopt, kRate);
    const std::vector<float> stretch = DecodeMonoSound(media, TimeSpan{2.0, 2.5}, kRate);
    ASSERT_GT(whole.size(), std::size_t(5 * kRate));
    EXPECT_NEAR(double(stretch.size()) / kRate, 0.5, 0.002);
    ASSERT_GT(stretch.size(), 2000u);
    // Where the stretch's first 100 ms best match the whole, within 50 ms of 2 s.
    std::size_t best = 0;
    double bestProduct = -1;
    for (std::size_t offset = 2 * kRate - 800; offset <= 2 * kRate + 800; ++offset) {
        double product = 0;
        for (std::size_t i = 0; i < 1600; ++i)
            product += double(stretch[i]) * whole[offset + i];
        if (product > bestProduct) {
            bestProduct = product;
            best = offset;
        }
    }
    EXPECT_NEAR(double(best) / kRate, 2.0, 0.001);

    try {
        DecodeMonoSound("/nonexistent/lesson.mp3", TimeSpan{1, 2}, kRate);
        ADD_FAILURE() << "a missing file was decoded";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("\"/nonexistent/lesson.mp3\""), std::string::npos) << error.what();
    }
}

class TakeComparerTest : public testing::Test {
protected:
    std::string PathIn(const std::string& name) const { return dir.filePath(QString::fromStdString(name)).toStdString(); }
    std::string Wav(const std::string& name, const std::vector<float>& samples) const
    {
        WriteFileBytes(PathIn(name), WavBytes(samples, kRate));
        return PathIn(name);
    }
    // Waits for the comparer's one report.
    static std::optional<ComparedTake> Reported(BackgroundTakeComparer& comparer)
    {
        QSignalSpy spy(&comparer, &TakeComparer::compared);
        if (!spy.wait(10000))
            return std::nullopt;
        QTest::qWait(200);
        EXPECT_EQ(spy.size(), 1);
        return spy.front().front().value<ComparedTake>();
    }

    QTemporaryDir dir;
};

// The sentence at 1-3 s of the media against a take said 0.3 s into it by a
// voice half again as high: compared, the take's frames found 0.3 s on.
TEST_F(TakeComparerTest, ASentenceOfTheMediaIsComparedWithItsTake)
{
    SyntheticVoice::Voice low;
    SyntheticVoice::Voice high;
    high.f0 = [&](double t) { return 1.5 * low.f0(t); };
    const std::string media =
        Wav("lesson.wav", Joined({Silence(1), SyntheticVoice::Render(low, 2), Silence(1)}));
    const std::string take = Wav("take.wav", Joined({Silence(0.3), SyntheticVoice::Render(high, 2), Silence(0.5)}));

    BackgroundTakeComparer comparer;
    comparer.Compare({media, {1, 3}, take});
    const std::optional<ComparedTake> result = Reported(comparer);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->take.takePath, take);
    ASSERT_EQ(result->problem, "");
    ASSERT_FALSE(result->comparison.reason) << *result->comparison.reason;
    ASSERT_TRUE(result->comparison.melodyScore);
    EXPECT_GE(*result->comparison.melodyScore, 80);
    ASSERT_GT(result->comparison.takeFrame.size(), 100u);
    ASSERT_TRUE(result->comparison.takeFrame[100]);
    EXPECT_NEAR(*result->comparison.takeFrame[100] * result->comparison.hopSeconds, 1.3, 0.03);
}

// A newer request replaces the one before: only it is reported, and a take
// that cannot be read says which file it is.
TEST_F(TakeComparerTest, OnlyTheNewestRequestIsReported)
{
    const std::string media = Wav("lesson.wav", Joined({Silence(1), SyntheticVoice::Render({}, 2), Silence(1)}));
    BackgroundTakeComparer comparer;
    comparer.Compare({media, {1, 3}, media});
    const std::string missing = PathIn("lesson.wav takes/000001.000-000003.000.mp3");
    comparer.Compare({media, {1, 3}, missing});
    const std::optional<ComparedTake> result = Reported(comparer);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->take.takePath, missing);
    EXPECT_NE(result->problem.find("\"" + missing + "\""), std::string::npos) << result->problem;

    // Cancelled: nothing comes.
    comparer.Compare({media, {1, 3}, media});
    comparer.Cancel();
    QSignalSpy spy(&comparer, &TakeComparer::compared);
    EXPECT_FALSE(spy.wait(1500));
}

} // namespace
