// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlayerFixture.h"

#include <QTemporaryDir>
#include <filesystem>
#include <gmock/gmock.h>

// Loading: what a load leaves behind for every kind of file a user may pick.

using testing::AllOf;
using testing::HasSubstr;

TEST_F(PlayerTest, MissingFileLoadsWithoutFaultAndHoldsNothing)
{
    player->SetMediaFileName(PlayerMedia::Wav());
    player->Play();
    ASSERT_TRUE(WaitFor([&] { return player->GetCurrentPosition() > 0.1; }));

    std::string missing = PlayerMedia::Missing();
    player->SetMediaFileName(missing);
    EXPECT_THAT(surface.text().toStdString(), HasSubstr("File not found"));
    EXPECT_THAT(surface.text().toStdString(), HasSubstr(missing));

    // Nothing plays and every operation does nothing, without a fault.
    player->SetCurrentPosition(2.0);
    player->Play();
    std::size_t played = sound.PlayedCount();
    Run(200);
    EXPECT_EQ(sound.PlayedCount(), played);
    EXPECT_EQ(player->GetCurrentPosition(), 0.0);
    player->Pause();
    player->Stop();
    EXPECT_EQ(player->GetCurrentPosition(), 0.0);

    // The next real file loads as usual.
    player->SetMediaFileName(PlayerMedia::Wav());
    player->SetCurrentPosition(1.0);
    EXPECT_NEAR(player->GetCurrentPosition(), 1.0, 0.001);
}

struct UnplayableFile {
    const char* name;
    std::string (*path)();
    const char* reason;
};

class UnplayableFileTest : public PlayerTest, public testing::WithParamInterface<UnplayableFile> {};

TEST_P(UnplayableFileTest, FaultsOnLoadWithTheFrameworksReasonAndLeavesNothingLoaded)
{
    std::string path = GetParam().path();
    player->SetMediaFileName(PlayerMedia::Wav());
    player->SetCurrentPosition(3.0);

    EXPECT_PLAYER_FAULT(player->SetMediaFileName(path), PlayerFaultCode::CannotOpen, PlayerOperation::SetMediaFileName,
                        AllOf(HasSubstr(path), HasSubstr(GetParam().reason)));
    EXPECT_THAT(surface.text().toStdString(), AllOf(HasSubstr(path), HasSubstr(GetParam().reason)));

    // Neither the failed file nor the one before it is left to play.
    EXPECT_EQ(player->GetCurrentPosition(), 0.0);
    player->Play();
    Run(100);
    EXPECT_EQ(player->GetCurrentPosition(), 0.0);
    player->Stop();

    player->SetMediaFileName(PlayerMedia::CbrMp3());
    EXPECT_EQ(surface.text().toStdString(), "noise-cbr.mp3");
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnplayableFileTest,
    testing::Values(UnplayableFile{"TextNamedMp3", &PlayerMedia::TextNamedMp3, "Could not determine type of stream"},
                    UnplayableFile{"ZeroByteMp3", &PlayerMedia::ZeroByteMp3, "contains no data"},
                    UnplayableFile{"Folder", &PlayerMedia::Folder, "is a directory"}),
    [](const testing::TestParamInfo<UnplayableFile>& info) { return std::string(info.param.name); });

TEST_F(PlayerTest, AudioOnlyMediaShowTheFileName)
{
    player->SetMediaFileName(PlayerMedia::VbrMp3());
    EXPECT_EQ(surface.text().toStdString(), "noise-vbr.mp3");
    EXPECT_TRUE(surface.frame().isNull());
}

TEST_F(PlayerTest, LoadThenStopLeavesTheFileLoadedAtZeroAndNotPlaying)
{
    player->SetMediaFileName(PlayerMedia::Wav());
    player->Stop();
    Run(300);
    EXPECT_EQ(player->GetCurrentPosition(), 0.0);

    player->Play();
    EXPECT_TRUE(WaitFor([&] { return player->GetCurrentPosition() > 0.1; }));
}

// The window's Play button reloads the file, then seeks and plays: the reload
// starts the file afresh and the seek acts on it at once.
TEST_F(PlayerTest, ReloadWhilePlayingStartsAfreshAndTakesAnImmediateSeek)
{
    player->SetMediaFileName(PlayerMedia::CbrMp3());
    player->SetCurrentPosition(4.0);
    player->Play();
    Run(150);

    player->SetMediaFileName(PlayerMedia::CbrMp3());
    EXPECT_EQ(player->GetCurrentPosition(), 0.0);
    player->SetCurrentPosition(1.5);
    player->Play();
    ASSERT_TRUE(WaitFor([&] { return player->GetCurrentPosition() > 1.6; }));
    EXPECT_LT(player->GetCurrentPosition(), 2.5);
}

// Loaded again unchanged, the file is where a first load leaves it: paused at
// 0, without the segment end it had, playing from its first sample.
TEST_F(PlayerTest, ReloadOfTheUnchangedFileLeavesWhatALoadLeaves)
{
    const std::string path = PlayerMedia::CbrMp3();
    const DecodedSound reference = DecodeSound(path);
    ASSERT_EQ(reference.problem, "");
    player->SetMediaFileName(path);
    player->SetSegmentEnd(2.0);
    player->SetCurrentPosition(1.0);
    player->Play();
    ASSERT_TRUE(WaitFor([&] { return player->GetCurrentPosition() == 2.0; })) << "the segment end did not hold";

    player->SetMediaFileName(path);
    EXPECT_EQ(player->GetCurrentPosition(), 0.0);
    EXPECT_EQ(player->Status().state, PlaybackState::Paused);
    EXPECT_EQ(surface.text(), QString::fromStdString(std::filesystem::path(path).filename().string()));
    player->Play();
    EXPECT_TRUE(WaitFor([&] { return player->GetCurrentPosition() > 2.2; })) << "the old segment end still holds";
    std::optional<long> start = FindInReference(reference.samples, sound.Played(), 0, 44100);
    ASSERT_TRUE(start) << "what played is not the file's start";
    EXPECT_NEAR(*start, 0, 44);
}

// A file changed on disk since it was loaded is opened afresh when it is
// loaded again: here another file (a WAV) now has its name.
TEST_F(PlayerTest, ReloadOfAFileChangedOnDiskOpensItAfresh)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("lesson.mp3").toStdString();
    std::filesystem::copy_file(PlayerMedia::CbrMp3(), path);
    player->SetMediaFileName(path);
    player->SetCurrentPosition(3.0);

    std::filesystem::copy_file(PlayerMedia::Wav(), path, std::filesystem::copy_options::overwrite_existing);
    const DecodedSound reference = DecodeSound(PlayerMedia::Wav());
    player->SetMediaFileName(path);
    player->SetCurrentPosition(1.0);
    player->Play();
    ASSERT_TRUE(WaitFor([&] { return sound.PlayedCount() >= 4096; }));
    std::optional<long> start = FindInReference(reference.samples, sound.Played(), 44100, 44100);
    ASSERT_TRUE(start) << "what played is not the new file";
    EXPECT_NEAR(*start, 44100, 44);
}

TEST_F(PlayerTest, TruncatedMp3PlaysToWhereItWasCut)
{
    player->SetMediaFileName(PlayerMedia::TruncatedMp3());
    // 40% of the six seconds remain.
    player->SetCurrentPosition(2.0);
    player->Play();
    EXPECT_NEAR(RunToRest(), 0.4 * PlayerMedia::kSoundSeconds, 0.1);
    // At the end, playing again and stopping are harmless.
    player->Play();
    player->Stop();
}
