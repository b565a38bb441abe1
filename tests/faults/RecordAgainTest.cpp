// SPDX-License-Identifier: GPL-3.0-or-later
// Record pressed again while the recording runs or is paused, with the real
// recorder: the file exists by then, but it is the one being recorded, so the
// recording goes on (resumed when paused) without a question; only a
// finished recording is asked about.

#include "support/RecorderSoundCheck.h"
#include "support/WindowTest.h"

#include <QTest>

namespace {

using RecordAgainTest = WindowTest;

TEST_F(RecordAgainTest, RecordOnTheRunningOrPausedRecordingGoesOnWithoutAQuestion)
{
    Start(RealRecorder(ToneInput(440)));
    const std::string take = PathIn("take");
    RecordInto(take);
    ASSERT_TRUE(prompts.boxes.empty()) << prompts.boxes.front().text;
    auto recordedSeconds = [&] { return Text(ControlId::RecTime); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return recordedSeconds() == "1 s"; }, 5000));

    Click(ControlId::Record);
    EXPECT_TRUE(prompts.boxes.empty()) << prompts.boxes.front().text;
    Click(ControlId::PauseRecording);
    QTest::qWait(600);
    Click(ControlId::Record); // resumes
    EXPECT_TRUE(prompts.boxes.empty()) << prompts.boxes.front().text;
    EXPECT_TRUE(QTest::qWaitFor([&] { return recordedSeconds() == "2 s"; }, 5000)) << "the recording did not go on";
    Click(ControlId::StopRecording);
    ASSERT_TRUE(prompts.boxes.empty()) << prompts.boxes.front().text;
    // One recording, without a gap where it was paused.
    const DecodedSound sound = DecodeSound(take + ".mp3");
    ASSERT_EQ(sound.problem, "");
    EXPECT_LT(LongestQuietStretch(sound, FindTone(sound)), 0.05);

    // The finished recording is asked about; No keeps it.
    prompts.answers.push_back(BoxAnswer::No);
    Click(ControlId::Record);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text, take + ".mp3 already exists.\nDo you want to replace it?");
    EXPECT_TRUE(IsEnabled(ControlId::SaveAs));
}

} // namespace
