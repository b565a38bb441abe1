// SPDX-License-Identifier: GPL-3.0-or-later
// A disk that fills up: while recording, while a take of shadowing records,
// and when the settings and the pause points are saved. The user is told, and what was on the disk stays usable.

#include "support/WindowTest.h"

#include <QTest>
#include "TmpfsMount.h"
#include "support/RecorderSoundCheck.h"
#include "fakes/FakePlayer.h"
#include "fakes/FakeRecorder.h"
#include "support/FileBytes.h"
#include "window/recording/RecordingFormat.h"
#include "components/takes/CreateTakeEngines.h"
#include "components/takes/GstTakeRecorder.h"
#include "window/sentences/SentenceWork.h"
#include "window/shadowing/Shadowing.h"

#include <QDir>
#include <gmock/gmock.h>

#include <cstring>
#include <filesystem>
#include <fstream>

using namespace std::chrono_literals;
using testing::HasSubstr;

namespace {

// 128 kbit/s fill 64 KiB in about four seconds.
constexpr const char* kDiskSize = "64k";
constexpr double kMp3BytesPerSecond = 128000 / 8.0;

class FullDiskTest : public WindowTest {
protected:
    FullDiskTest() { QDir(dir.path()).mkdir("disk"); }

    // Fills the disk with a file of its own, so that nothing more fits.
    void FillUp(const TmpfsMount& disk) const
    {
        std::ofstream filler(disk.PathOf("filler"), std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), block.size()) && filler.flush()) {
        }
    }
};

TEST_F(FullDiskTest, RecordingStopsTheUserIsToldAndTheMp3SoFarPlays)
{
    TmpfsMount disk(PathIn("disk"), kDiskSize);
    if (!disk.Mounted())
        GTEST_SKIP() << disk.Problem();
    Start(RealRecorder(ToneInput(440)));
    const std::string take = disk.PathOf("take");
    RecordInto(take);
    ASSERT_TRUE(prompts.boxes.empty()) << prompts.boxes.front().text;
    EXPECT_FALSE(IsEnabled(ControlId::SaveAs));

    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompts.boxes.empty(); }, 20000)) << "the recording never noticed the full disk";
    const ScriptedPrompts::Box& box = prompts.boxes.front();
    EXPECT_EQ(box.caption, kProgramBoxCaption);
    EXPECT_EQ(box.icon, BoxIcon::Stop);
    EXPECT_THAT(box.text, HasSubstr("Recording to " + take + ".mp3 failed."));
    EXPECT_THAT(box.text, HasSubstr("No space left"));
    EXPECT_THAT(box.text, HasSubstr("saved up to that moment"));
    EXPECT_TRUE(IsEnabled(ControlId::SaveAs)) << "another file cannot be chosen";

    // The labels show what is on the disk, and the box comes only once.
    const auto size = static_cast<std::int64_t>(std::filesystem::file_size(take + ".mp3"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Text(ControlId::FileSize) == FormatSize(size); }, 1000))
        << Text(ControlId::FileSize) << " instead of " << FormatSize(size);
    EXPECT_EQ(prompts.boxes.size(), 1u);

    const DecodedSound sound = DecodeSound(take + ".mp3");
    ASSERT_EQ(sound.problem, "");
    const ToneSpan tone = FindTone(sound);
    EXPECT_GE(tone.Length(), size / kMp3BytesPerSecond - 1.0);
    EXPECT_NEAR(ToneFrequency(sound, tone), 440, 4.4);
}

TEST_F(FullDiskTest, SettingsAndPausePointsThatDoNotFitAreReportedAndTheOldFilesStayWhole)
{
    TmpfsMount disk(PathIn("disk"), kDiskSize);
    if (!disk.Mounted())
        GTEST_SKIP() << disk.Problem();
    environment.settingsPath = disk.PathOf("ardeno-recorder.ini");
    const std::string media = disk.PathOf("lesson.mp3");
    const std::string oldSettings = "1.000000\r\n2.000000\r\n0.500000\r\n0.500000\r\n0.330000\r\n" + media;
    const std::string oldPoints = "1.500000\r\n";
    WriteFileBytes(environment.settingsPath, oldSettings);
    WriteFileBytes(disk.PathOf("lesson.txt"), oldPoints);
    FillUp(disk);

    Start();
    ASSERT_EQ(dlg->Points().Times(), std::vector<double>{1.5});
    player->position = 7.33;
    Click(ControlId::AddPoint); // add a pause point at 7.33 - 0.33
    dlg->Segment().SetSegment(4.5, dlg->Segment().End());

    prompts.answers.push_back(BoxAnswer::Yes); // save the pause points
    dlg->close();
    ASSERT_EQ(prompts.boxes.size(), 3u);
    EXPECT_THAT(prompts.boxes[0].text, HasSubstr("Cannot save the settings in \"" + environment.settingsPath + "\""));
    EXPECT_THAT(prompts.boxes[0].text, HasSubstr(std::strerror(ENOSPC)));
    EXPECT_THAT(prompts.boxes[2].text, HasSubstr("Cannot save the pause points in \"" + disk.PathOf("lesson.txt") + "\""));
    EXPECT_THAT(prompts.boxes[2].text, HasSubstr(std::strerror(ENOSPC)));
    EXPECT_TRUE(dlg->isVisible()) << "the window closed with pause points that were not saved";
    EXPECT_EQ(ReadFileBytes(environment.settingsPath), oldSettings);
    EXPECT_EQ(ReadFileBytes(disk.PathOf("lesson.txt")), oldPoints);
    EXPECT_EQ(QDir(QString::fromStdString(disk.PathOf(""))).entryList({"*.tmp-*"}).size(), 0)
        << "a failed save left its temporary file";

    // With room again, Close saves both.
    std::filesystem::remove(disk.PathOf("filler"));
    prompts.answers.push_back(BoxAnswer::Yes);
    dlg->close();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(ReadFileBytes(disk.PathOf("lesson.txt")), "1.500000\r\n7.000000\r\n");
    EXPECT_THAT(ReadFileBytes(environment.settingsPath), testing::StartsWith("4.500000\r\n"));
}

// A take that does not fit ends shadowing with a box that names the file and
// says the disk is full; the earlier take of that sentence stays whole.
TEST_F(FullDiskTest, ATakeThatDoesNotFitEndsShadowingAndTheEarlierTakeStays)
{
    TmpfsMount disk(PathIn("disk"), kDiskSize);
    if (!disk.Mounted())
        GTEST_SKIP() << disk.Problem();
    // A tone never falls silent: the take grows until the disk is full.
    Start(nullptr, nullptr, nullptr, CreateTakeEngines(ToneInput(440)));
    const std::string media = disk.PathOf("lesson.mp3");
    prompts.openAnswers.push_back(media);
    Click(ControlId::Open);
    profiler->Speak({{0.5, 3.4}}, 4);
    const std::string take = dlg->Shadow().TakePath({0.39, 3.51});
    std::filesystem::create_directories(std::filesystem::path(take).parent_path());
    const std::string earlier(20000, 'e');
    WriteFileBytes(take, earlier);

    prompts.drillAnswers.push_back(DrillSettings{1, 0, false, true, false});
    prompts.answers = {BoxAnswer::No};
    MenuCommand("Drill...")->trigger();
    player->position = dlg->Segment().End();
    dlg->Tick(RepeatTimer);
    ASSERT_EQ(dlg->Shadow().CurrentPhase(), Shadowing::Phase::Recording) << prompts.BoxTexts().front();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompts.boxes.empty(); }, 20000)) << "the take never noticed the full disk";
    EXPECT_THAT(prompts.boxes[0].text,
                testing::StartsWith("The take \"" + take + "\" was not kept (an earlier take of this sentence stays): "
                                    "Writing \"" + GstTakeRecorder::PartialPath(take) + "\" failed: "));
    EXPECT_THAT(prompts.boxes[0].text, HasSubstr("No space left"));
    EXPECT_THAT(prompts.boxes[0].text, testing::Not(HasSubstr("saved")));
    EXPECT_THAT(prompts.boxes[0].text, HasSubstr("Go on with the drill without recording?"));
    EXPECT_FALSE(dlg->Sentences().Drilling().IsRunning());
    EXPECT_EQ(ReadFileBytes(take), earlier);
    EXPECT_FALSE(std::filesystem::exists(GstTakeRecorder::PartialPath(take)));
}

} // namespace
