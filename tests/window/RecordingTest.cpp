// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/WindowTest.h"

#include <QFile>

namespace {

constexpr ControlId kSave = ControlId::SaveAs;
constexpr ControlId kRecord = ControlId::Record;
constexpr ControlId kPauseRecording = ControlId::PauseRecording;
constexpr ControlId kStopRecording = ControlId::StopRecording;

using Calls = std::vector<std::string>;

class RecordingTest : public WindowTest {
protected:
    void SetUp() override { Start(); }

    bool SaveEnabled() const { return dlg->Control(kSave)->isEnabled(); }

    void WriteFile(const std::string& path, const QByteArray& content)
    {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    // Chooses `name` in the test's folder with Save...; returns the output path.
    std::string Choose(const std::string& name)
    {
        prompts.saveAnswers.push_back(PathIn(name));
        Click(kSave);
        return PathIn(name) + ".mp3";
    }
};

TEST_F(RecordingTest, SaveAlwaysAppendsMp3)
{
    Choose("talk");
    EXPECT_EQ(Text(ControlId::OutputFile), PathIn("talk.mp3"));
    EXPECT_EQ(dlg->Recording().OutputFile(), PathIn("talk.mp3"));
    Choose("talk.mp3");
    EXPECT_EQ(Text(ControlId::OutputFile), PathIn("talk.mp3.mp3"));

    // Cancel keeps the last choice.
    prompts.saveAnswers.push_back(std::nullopt);
    Click(kSave);
    EXPECT_EQ(Text(ControlId::OutputFile), PathIn("talk.mp3.mp3"));
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(RecordingTest, SaveAsksBeforeReplacingTheFileReallyWritten)
{
    // The name as chosen exists, but it is not what will be written.
    WriteFile(PathIn("notes"), "text");
    Choose("notes");
    EXPECT_TRUE(prompts.boxes.empty());
    EXPECT_EQ(Text(ControlId::OutputFile), PathIn("notes.mp3"));

    WriteFile(PathIn("talk.mp3"), "earlier recording");
    // "No" goes back to the dialog; cancelling it keeps the old choice.
    prompts.answers = {BoxAnswer::No};
    prompts.saveAnswers = {PathIn("talk"), std::nullopt};
    Click(kSave);
    EXPECT_EQ(prompts.saveDialogs, 3);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].buttons, BoxButtons::YesNo);
    EXPECT_EQ(prompts.boxes[0].text, PathIn("talk.mp3") + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(Text(ControlId::OutputFile), PathIn("notes.mp3"));

    prompts.answers = {BoxAnswer::Yes};
    Choose("talk");
    EXPECT_EQ(Text(ControlId::OutputFile), PathIn("talk.mp3"));
    // Agreed to in Save...: Record does not ask again.
    Click(kRecord);
    EXPECT_EQ(prompts.boxes.size(), 2u);
    EXPECT_EQ(recorder->calls, (Calls{"SetFileName(" + PathIn("talk.mp3") + ")", "StartRec"}));
}

TEST_F(RecordingTest, RecordWithoutAFileAsksForOne)
{
    Click(kRecord);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text, "Please Input Save File Name!");
    EXPECT_EQ(prompts.boxes[0].caption, environment.appName);
    EXPECT_EQ(prompts.boxes[0].icon, BoxIcon::Exclamation);
    EXPECT_TRUE(recorder->calls.empty());
    EXPECT_FALSE(dlg->IsTimerRunning(RecordTimer));
    EXPECT_TRUE(SaveEnabled());
}

TEST_F(RecordingTest, RecordPauseStopDriveTheRecorderAndTheSaveButton)
{
    std::string output = Choose("talk");
    Click(kRecord);
    EXPECT_EQ(recorder->calls, (Calls{"SetFileName(" + output + ")", "StartRec"}));
    EXPECT_TRUE(dlg->IsTimerRunning(RecordTimer));
    EXPECT_FALSE(SaveEnabled());

    Click(kPauseRecording);
    Click(kPauseRecording);
    EXPECT_FALSE(SaveEnabled());

    Click(kStopRecording);
    EXPECT_EQ(recorder->calls, (Calls{"SetFileName(" + output + ")", "StartRec", "PauseRec", "PauseRec", "StopRec"}));
    EXPECT_TRUE(SaveEnabled());
    // The labels keep showing the recorder's values until Exit.
    EXPECT_TRUE(dlg->IsTimerRunning(RecordTimer));
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(RecordingTest, PauseAndStopWithNothingRecordingOnlyCallTheRecorder)
{
    Click(kPauseRecording);
    Click(kStopRecording);
    EXPECT_EQ(recorder->calls, (Calls{"PauseRec", "StopRec"}));
    EXPECT_FALSE(dlg->IsTimerRunning(RecordTimer));
    EXPECT_TRUE(SaveEnabled());
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(RecordingTest, TheNameTakesTheLengthTheRecorderLeft)
{
    std::string output = Choose("talk");
    recorder->shortenNameTo = output.size() - 4;
    Click(kRecord);
    EXPECT_EQ(dlg->Recording().OutputFile(), PathIn("talk"));
    EXPECT_EQ(dlg->Recording().OutputFile().size(), output.size() - 4);
}

TEST_F(RecordingTest, LabelsStayEmptyUntilATickThenFollowEveryTimer)
{
    Choose("talk");
    Click(kRecord);
    EXPECT_EQ(Text(ControlId::RecTime), "");
    EXPECT_EQ(Text(ControlId::FileSize), "");

    int expectedSeconds = 0;
    for (int id : {RecordTimer, RepeatTimer, PointTimer}) {
        recorder->seconds = ++expectedSeconds;
        recorder->bytes = 1024 * expectedSeconds;
        recorder->readings = 0;
        dlg->Tick(id);
        EXPECT_EQ(Text(ControlId::RecTime), std::to_string(expectedSeconds) + " s") << id;
        EXPECT_EQ(Text(ControlId::FileSize), std::to_string(expectedSeconds) + " KB") << id;
        EXPECT_EQ(recorder->readings, 2) << id;
    }
}

// Hours of recording: the labels show hours, and sizes past 2 GiB.
TEST_F(RecordingTest, LabelsOfARecordingOfManyHours)
{
    Choose("talk");
    Click(kRecord);
    recorder->seconds = 38 * 3600 + 61;
    recorder->bytes = 2249457664; // 2145 MiB and 256 KiB, past 2 GiB
    dlg->Tick(RecordTimer);
    EXPECT_EQ(Text(ControlId::RecTime), "1 D14 : 1 : 1 s");
    EXPECT_EQ(Text(ControlId::FileSize), "2145 M 256 KB");
}

TEST_F(RecordingTest, RecordAsksBeforeReplacingAFinishedRecording)
{
    std::string output = Choose("talk");
    Click(kRecord);
    WriteFile(output, "first take");
    Click(kStopRecording);
    recorder->calls.clear();

    prompts.answers = {BoxAnswer::No};
    Click(kRecord);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].caption, "Kestwin Software Inc");
    EXPECT_EQ(prompts.boxes[0].text, output + " already exists.\nDo you want to replace it?");
    EXPECT_TRUE(recorder->calls.empty());
    EXPECT_TRUE(SaveEnabled());

    prompts.answers = {BoxAnswer::Yes};
    Click(kRecord);
    EXPECT_EQ(prompts.boxes.size(), 2u);
    EXPECT_EQ(recorder->calls, (Calls{"SetFileName(" + output + ")", "StartRec"}));
    EXPECT_FALSE(SaveEnabled());

    // A file the recorder never wrote is not asked about.
    Click(kStopRecording);
    QFile::remove(QString::fromStdString(output));
    Click(kRecord);
    EXPECT_EQ(prompts.boxes.size(), 2u);
}

// Record on the recording that runs (or is paused) goes on with it: the file
// exists by then, but it is the one being recorded, not one to replace.
TEST_F(RecordingTest, RecordOnTheRunningRecordingGoesOnWithoutAsking)
{
    std::string output = Choose("talk");
    Click(kRecord);
    WriteFile(output, "being recorded");
    Click(kPauseRecording);
    Click(kRecord);
    EXPECT_TRUE(prompts.boxes.empty());
    EXPECT_EQ(recorder->calls, (Calls{"SetFileName(" + output + ")", "StartRec", "PauseRec", "SetFileName(" + output + ")",
                                      "StartRec"}));
    EXPECT_FALSE(SaveEnabled());
}

TEST_F(RecordingTest, FailedStartIsReportedOnceAndNothingLooksRecorded)
{
    std::string output = Choose("talk");
    recorder->startSucceeds = false;
    recorder->error = "No sound input: no microphone is connected";
    Click(kRecord);

    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text,
              "Recording to " + output + " could not start.\nNo sound input: no microphone is connected");
    EXPECT_EQ(prompts.boxes[0].icon, BoxIcon::Stop);
    EXPECT_TRUE(SaveEnabled());
    EXPECT_FALSE(dlg->IsTimerRunning(RecordTimer));

    for (int id : {RecordTimer, RepeatTimer, PointTimer})
        dlg->Tick(id);
    Click(kStopRecording);
    EXPECT_EQ(prompts.boxes.size(), 1u);
}

TEST_F(RecordingTest, FailedRecordAfterARunningOneEnablesSave)
{
    Choose("talk");
    Click(kRecord);
    ASSERT_FALSE(SaveEnabled());
    recorder->startSucceeds = false;
    Click(kRecord);
    EXPECT_TRUE(SaveEnabled());
    EXPECT_EQ(prompts.boxes.back().text.rfind("Recording to ", 0), 0u);
    EXPECT_NE(prompts.boxes.back().text.find("The recorder gave no reason."), std::string::npos);
}

TEST_F(RecordingTest, FailureWhileRecordingIsReportedOnce)
{
    std::string output = Choose("talk");
    Click(kRecord);
    dlg->Tick(RecordTimer);
    EXPECT_TRUE(prompts.boxes.empty());

    recorder->FailWhileRecording("No space left on device");
    // Ticks of every timer keep arriving while the box is open.
    prompts.whileBoxOpen = [&] {
        for (int id : {RecordTimer, RepeatTimer, PointTimer})
            dlg->Tick(id);
    };
    dlg->Tick(RepeatTimer);
    dlg->Tick(RecordTimer);
    Click(kStopRecording);

    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text, "Recording to " + output + " failed.\nNo space left on device");
    EXPECT_EQ(prompts.boxes[0].caption, "Kestwin Software Inc");
    EXPECT_EQ(prompts.boxes[0].icon, BoxIcon::Stop);
    EXPECT_TRUE(SaveEnabled());
}

TEST_F(RecordingTest, FailureFoundWhenStoppingIsReported)
{
    std::string output = Choose("talk");
    Click(kRecord);
    // The recorder learns of the failure only while finishing the file.
    recorder->error = "Could not write " + output + ": Input/output error";
    Click(kStopRecording);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text, "Recording to " + output + " failed.\nCould not write " + output
                                         + ": Input/output error");
    EXPECT_TRUE(SaveEnabled());
}

} // namespace
