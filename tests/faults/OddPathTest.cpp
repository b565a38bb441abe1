// SPDX-License-Identifier: GPL-3.0-or-later
// Paths with spaces, non-ASCII letters, a leading dash and very long names
// go through every file the program touches: the media (real player), its
// pause-point file, the recording (real recorder) and the settings file.

#include "support/WindowTest.h"

#include <QTest>
#include "support/WavFile.h"
#include "support/RecorderSoundCheck.h"
#include "support/FileBytes.h"

#include <QLineEdit>
#include <gmock/gmock.h>

#include <cstring>
#include <filesystem>

using namespace std::chrono_literals;
using testing::HasSubstr;

namespace {

struct OddPlace {
    const char* label;
    // Folders below the test's own, and the base name of every file.
    std::string folders;
    std::string name;
};

std::string LongFolders()
{
    // Fourteen folders of 200 bytes: a path of about 2.9 KB, under PATH_MAX.
    std::string folders;
    for (int i = 0; i < 14; ++i)
        folders += (folders.empty() ? "" : "/") + std::string(199, 'a' + i) + "é";
    return folders;
}

void PrintTo(const OddPlace& place, std::ostream* out)
{
    *out << place.label;
}

class OddPathTest : public WindowTest, public testing::WithParamInterface<OddPlace> {
protected:
    std::string Folder() const { return PathIn(GetParam().folders); }
    std::string FileIn(const std::string& extension) const { return Folder() + "/" + GetParam().name + extension; }

    void StartHere()
    {
        environment.settingsPath = FileIn(".ini");
        Start(RealRecorder(ToneInput(440)), RealPlayer());
    }
};

TEST_P(OddPathTest, MediaPausePointsRecordingAndSettingsAllWork)
{
    std::filesystem::create_directories(Folder());
    const std::string media = FileIn(".wav");
    WriteFileBytes(media, ToneWavBytes(2));
    WriteFileBytes(FileIn(".txt"), "1.5\r\n");
    StartHere();

    prompts.openAnswers.push_back(media);
    Click(ControlId::Open);
    EXPECT_TRUE(prompts.boxes.empty()) << prompts.boxes.front().text;
    EXPECT_EQ(dlg->Points().Times(), std::vector<double>{1.5});
    EXPECT_EQ(Text(ControlId::MediaPath), media);

    RecordInto(FileIn(""));
    ASSERT_TRUE(prompts.boxes.empty()) << prompts.boxes.front().text;
    ASSERT_TRUE(QTest::qWaitFor([&] { const std::string size = Text(ControlId::FileSize);
        return !size.empty() && size != "0 Byte"; }, 5000));
    Click(ControlId::StopRecording);
    EXPECT_TRUE(prompts.boxes.empty()) << prompts.boxes.front().text;
    const DecodedSound sound = DecodeSound(FileIn(".mp3"));
    EXPECT_EQ(sound.problem, "");
    EXPECT_FALSE(sound.samples.empty());

    dlg->close();
    EXPECT_THAT(ReadFileBytes(environment.settingsPath), testing::EndsWith("\r\n" + media));

    // The next start finds the same media and its pause points again.
    prompts.boxes.clear();
    Start(RealRecorder(ToneInput(440)), RealPlayer());
    EXPECT_TRUE(prompts.boxes.empty()) << prompts.boxes.front().text;
    EXPECT_EQ(dlg->Media().Path(), media);
    EXPECT_EQ(dlg->Points().Times(), std::vector<double>{1.5});
}

INSTANTIATE_TEST_SUITE_P(Names, OddPathTest,
                         testing::Values(OddPlace{"Spaces", "my  lessons ", " week 1 talk "},
                                         OddPlace{"NonAscii", "Übungen 中文", "leçon ñ 第一课"},
                                         OddPlace{"LeadingDash", "-r", "--help -lesson"},
                                         OddPlace{"LongNames", LongFolders(), std::string(245, 'n')}),
                         [](const testing::TestParamInfo<OddPlace>& info) { return info.param.label; });

TEST_F(WindowTest, ARecordingNameTooLongForTheFileSystemIsRefusedWithTheReason)
{
    Start(RealRecorder(ToneInput(440)), RealPlayer());
    // 255 bytes is the longest name; ".mp3" makes it 259.
    const std::string chosen = PathIn(std::string(255, 'n'));
    RecordInto(chosen);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_THAT(prompts.boxes.front().text, HasSubstr(chosen + ".mp3"));
    EXPECT_THAT(prompts.boxes.front().text, HasSubstr(std::strerror(ENAMETOOLONG)));
    EXPECT_TRUE(IsEnabled(ControlId::SaveAs));
}

} // namespace
