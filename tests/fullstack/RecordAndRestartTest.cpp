// SPDX-License-Identifier: GPL-3.0-or-later
#include "FullStackFixture.h"

#include "support/FileBytes.h"

using SteppedTone::Stretch;

// Recording what the server plays while the window plays it, and a Close
// that the next start of the window takes up again.

namespace {

// Seconds of a Rec Time text under a minute ("3 s").
int Seconds(const std::string& text)
{
    return std::stoi(text);
}

// Bytes of a File Size text under a MiB ("47 KB", "512 Byte").
int Bytes(const std::string& text)
{
    return std::stoi(text) * (text.find("KB") != std::string::npos ? 1024 : 1);
}

// Keeps each text a label showed once, in order (labels are empty before
// the first tick).
void Keep(std::vector<std::string>& seen, const std::string& text)
{
    if (!text.empty() && (seen.empty() || seen.back() != text))
        seen.push_back(text);
}

} // namespace

TEST_F(FullStackTest, RecordingWhilePlayingHoldsWhatWasPlayedAndTheLabelsCountUp)
{
    StartWindow();
    const std::string take = PathIn("take");
    window.prompts.saveAnswers.push_back(take);
    window.Click(ControlId::SaveAs);
    ASSERT_EQ(window.Text(ControlId::OutputFile), take + ".mp3");
    window.Click(ControlId::Record);
    ASSERT_TRUE(window.prompts.boxes.empty()) << window.prompts.boxes[0].text;
    Open();

    std::vector<std::string> times;
    std::vector<std::string> sizes;
    for (int waited = 0; waited < 7500; waited += 100) {
        QTest::qWait(100);
        Keep(times, window.Text(ControlId::RecTime));
        Keep(sizes, window.Text(ControlId::FileSize));
    }
    window.Click(ControlId::StopRecording);
    EXPECT_TRUE(window.prompts.boxes.empty());

    // Rec Time went up a second at a time; File Size grew with it, by about
    // 16 KB a second (128 kbit/s).
    ASSERT_GE(times.size(), 6u);
    for (std::size_t i = 1; i < times.size(); ++i)
        EXPECT_EQ(Seconds(times[i]), Seconds(times[i - 1]) + 1) << times[i - 1] << " then " << times[i];
    EXPECT_GE(Seconds(times.back()), 7);
    ASSERT_GE(sizes.size(), 20u);
    for (std::size_t i = 1; i < sizes.size(); ++i)
        EXPECT_GT(Bytes(sizes[i]), Bytes(sizes[i - 1])) << sizes[i - 1] << " then " << sizes[i];
    EXPECT_NEAR(Bytes(sizes.back()), Seconds(times.back()) * 16000, 24000) << sizes.back() << " after " << times.back();

    // The file holds the whole media as the server played it: every second
    // in order, each a second long.
    DecodedSound recorded = DecodeSound(take + ".mp3");
    std::vector<Stretch> heard = SteppedTone::Heard(SteppedTone::Stretches(recorded.samples));
    ASSERT_EQ(heard.size(), std::size_t(SteppedTone::kSeconds)) << "the recording does not hold the six seconds";
    for (int second = 0; second < SteppedTone::kSeconds; ++second) {
        EXPECT_EQ(heard[second].second, second);
        EXPECT_NEAR(heard[second].length, 1.0, 0.08) << "second " << second;
    }
}

TEST_F(FullStackTest, CloseWritesTheSettingsAndTheNextStartReopensTheMediaStoppedWithTheSegment)
{
    StartWindow();
    Open();
    QTest::qWait(300);
    SetSegment(2.0, 3.0);
    window.dlg->close();
    EXPECT_FALSE(window.dlg->isVisible());
    EXPECT_EQ(ReadFileBytes(window.environment.settingsPath),
              "2.000000\r\n3.000000\r\n0.500000\r\n0.500000\r\n0.330000\r\n" + media);

    std::size_t mark = Mark();
    StartWindow();
    EXPECT_EQ(window.Text(ControlId::MediaPath), media);
    EXPECT_EQ(window.Text(ControlId::StartTime), "2");
    EXPECT_EQ(window.Text(ControlId::EndTime), "3");
    EXPECT_TRUE(window.dlg->Control(ControlId::Repeat)->isEnabled());
    double position = Position();
    QTest::qWait(800);
    EXPECT_TRUE(HeardSince(mark).empty()) << "the re-opened media plays";
    EXPECT_EQ(Position(), position);

    mark = Mark();
    ASSERT_TRUE(RepeatToTheEnd());
    std::vector<Stretch> heard = HeardSince(mark);
    ASSERT_FALSE(heard.empty()) << "Repeat played nothing";
    EXPECT_EQ(heard[0].second, 2);
    EXPECT_NEAR(heard[0].length, 1.0, 0.08);
}
