// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/profile/GstSoundProfiler.h"
#include "support/FileBytes.h"
#include "support/PlayerMedia.h"
#include "support/SoundDecoder.h"
#include "support/WavFile.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>

// The real sound profiler on sound the tests make: the levels it measures,
// the profiles it keeps and trusts, how it stops, and what it says about
// sound it cannot analyse.

namespace fs = std::filesystem;
using testing::HasSubstr;

namespace {

using Progress = SoundProfile::Progress;

// 1 s of a 500 Hz sine at 0.8, 0.5 s of silence, 1 s of a square wave at 0.5.
std::vector<float> KnownSound(int rate)
{
    std::vector<float> samples;
    for (int i = 0; i < rate; ++i)
        samples.push_back(float(0.8 * std::sin(2 * std::numbers::pi * 500 * i / rate)));
    samples.resize(samples.size() + std::size_t(rate / 2), 0.0f);
    for (int i = 0; i < rate; ++i)
        samples.push_back(i * 1000 / rate % 2 == 0 ? 0.5f : -0.5f);
    return samples;
}

class ProfilerTest : public testing::Test {
protected:
    std::string Media(const std::string& name, const std::string& bytes)
    {
        const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
        WriteFileBytes(path, bytes);
        return path;
    }

    // Runs the event loop until the profile is no longer growing.
    bool WaitUntilMade(const SoundProfiler& profiler)
    {
        return QTest::qWaitFor([&] { return profiler.Profile().State() != Progress::Analysing; }, 20000);
    }

    static std::vector<LevelBlock> AllBlocks(const SoundProfile& profile)
    {
        std::vector<LevelBlock> blocks(profile.BlockCount());
        blocks.resize(profile.ReadBlocks(0, blocks));
        return blocks;
    }

    std::string KeptPath(const std::string& media) const
    {
        return ProfileCache(cacheFolder).PathFor(*FileIdentity::Of(media));
    }

    QTemporaryDir dir;
    std::string cacheFolder = dir.filePath("cache").toStdString();
    GstSoundProfiler profiler{ProfileCache(cacheFolder)};
};

TEST_F(ProfilerTest, SoundOfKnownLevelsHasThemInItsBlocks)
{
    for (int rate : {44100, 22050}) {
        const std::string path = Media("known-" + std::to_string(rate) + ".wav", WavBytes(KnownSound(rate), rate));
        QSignalSpy changes(&profiler, &SoundProfiler::profileChanged);
        profiler.Analyse(path);
        ASSERT_TRUE(WaitUntilMade(profiler)) << rate;
        ASSERT_EQ(profiler.Profile().State(), Progress::Complete) << profiler.Profile().Problem();
        EXPECT_GE(changes.size(), 2) << rate;

        const std::vector<LevelBlock> blocks = AllBlocks(profiler.Profile());
        ASSERT_EQ(blocks.size(), 250u) << rate;
        const double sinePeak = 0.8 * kFullScale;
        for (std::size_t i : {0u, 50u, 99u}) {
            EXPECT_NEAR(blocks[i].maximum, sinePeak, 0.01 * sinePeak) << rate << " " << i;
            EXPECT_NEAR(blocks[i].minimum, -sinePeak, 0.01 * sinePeak) << rate << " " << i;
            EXPECT_NEAR(blocks[i].rms, sinePeak / std::sqrt(2.0), 0.01 * sinePeak) << rate << " " << i;
        }
        for (std::size_t i : {100u, 125u, 149u})
            EXPECT_EQ(blocks[i], LevelBlock{}) << rate << " " << i;
        for (std::size_t i : {150u, 200u, 249u})
            EXPECT_EQ(blocks[i], (LevelBlock{-16384, 16384, 16384})) << rate << " " << i;
        // Blocks 128..191 hold 22 of silence and 42 of the square wave,
        // 192..249 the square wave only.
        ASSERT_EQ(profiler.Profile().Summary().size(), 4u);
        const auto mixedRms = std::uint16_t(std::lround(16384 * std::sqrt(42.0 / 64)));
        EXPECT_EQ(profiler.Profile().Summary()[2], (LevelBlock{-16384, 16384, mixedRms}));
        EXPECT_EQ(profiler.Profile().Summary()[3], (LevelBlock{-16384, 16384, 16384}));
    }
}

TEST_F(ProfilerTest, AKeptProfileServesTheSameFileUntilItChanges)
{
    const std::string path = Media("lesson.wav", WavBytes(KnownSound(44100), 44100));
    profiler.Analyse(path);
    ASSERT_TRUE(WaitUntilMade(profiler));
    const std::vector<LevelBlock> measured = AllBlocks(profiler.Profile());
    ASSERT_TRUE(fs::exists(KeptPath(path)));

    // The next run finds it: complete at once.
    GstSoundProfiler nextRun{ProfileCache(cacheFolder)};
    nextRun.Analyse(path);
    ASSERT_EQ(nextRun.Profile().State(), Progress::Complete);
    EXPECT_EQ(AllBlocks(nextRun.Profile()), measured);
    EXPECT_EQ(std::vector<LevelBlock>(nextRun.Profile().Summary().begin(), nextRun.Profile().Summary().end()),
              std::vector<LevelBlock>(profiler.Profile().Summary().begin(), profiler.Profile().Summary().end()));

    // A new recording under the same name is measured afresh.
    Media("lesson.wav", WavBytes(std::vector<float>(44100, 0.25f), 44100));
    nextRun.Analyse(path);
    EXPECT_EQ(nextRun.Profile().State(), Progress::Analysing);
    ASSERT_TRUE(WaitUntilMade(nextRun));
    const std::vector<LevelBlock> remeasured = AllBlocks(nextRun.Profile());
    ASSERT_EQ(remeasured.size(), 100u);
    EXPECT_EQ(remeasured[42].maximum, 8192);
}

TEST_F(ProfilerTest, ADamagedKeptProfileIsMadeAgain)
{
    const std::string path = Media("lesson.wav", WavBytes(KnownSound(44100), 44100));
    profiler.Analyse(path);
    ASSERT_TRUE(WaitUntilMade(profiler));
    const std::vector<LevelBlock> measured = AllBlocks(profiler.Profile());

    const std::string kept = KeptPath(path);
    const std::string bytes = ReadFileBytes(kept);
    WriteFileBytes(kept, bytes.substr(0, bytes.size() - 10));
    profiler.Analyse(path);
    EXPECT_EQ(profiler.Profile().State(), Progress::Analysing);
    ASSERT_TRUE(WaitUntilMade(profiler));
    EXPECT_EQ(AllBlocks(profiler.Profile()), measured);
    // Kept whole again.
    EXPECT_EQ(ReadFileBytes(kept), bytes);
}

// Long enough (5 min) that it is still being measured when it is stopped.
std::string LongSound()
{
    std::vector<float> samples(300 * 8000);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = float(0.5 * std::sin(double(i)));
    return WavBytes(samples, 8000);
}

TEST_F(ProfilerTest, CancelStopsAtOnceAndKeepsNothing)
{
    const std::string path = Media("long.wav", LongSound());
    profiler.Analyse(path);
    QTest::qWait(5);
    QSignalSpy changes(&profiler, &SoundProfiler::profileChanged);
    profiler.Cancel();
    EXPECT_EQ(profiler.Profile().State(), Progress::None);
    EXPECT_EQ(profiler.Profile().BlockCount(), 0u);
    QTest::qWait(300);
    EXPECT_EQ(changes.size(), 1); // the cancel itself, nothing after it
    EXPECT_FALSE(fs::exists(KeptPath(path)));
    EXPECT_TRUE(!fs::exists(cacheFolder) || fs::is_empty(cacheFolder));

    // It works on as before.
    profiler.Analyse(path);
    ASSERT_TRUE(WaitUntilMade(profiler));
    EXPECT_EQ(profiler.Profile().BlockCount(), 30000u);
}

TEST_F(ProfilerTest, TheNextFileStopsTheLastAndAProfilerThatGoesStopsItsWork)
{
    const std::string longPath = Media("long.wav", LongSound());
    const std::string shortPath = Media("short.wav", WavBytes(KnownSound(44100), 44100));
    profiler.Analyse(longPath);
    profiler.Analyse(shortPath);
    ASSERT_TRUE(WaitUntilMade(profiler));
    EXPECT_EQ(profiler.Profile().BlockCount(), 250u);
    EXPECT_TRUE(fs::exists(KeptPath(shortPath)));
    EXPECT_FALSE(fs::exists(KeptPath(longPath)));

    {
        GstSoundProfiler going{ProfileCache(cacheFolder)};
        going.Analyse(longPath);
        QTest::qWait(5);
    }
    QTest::qWait(100);
    EXPECT_FALSE(fs::exists(KeptPath(longPath)));
}

TEST_F(ProfilerTest, SoundThatCannotBeAnalysedSaysWhy)
{
    struct Case {
        std::string path;
        const char* reason;
    };
    const Case cases[] = {
        {PlayerMedia::Missing(), "No such file or directory"},
        {PlayerMedia::TextNamedMp3(), "typefind"},
        {PlayerMedia::VideoWithoutSound(), "the file has no sound"},
    };
    for (const Case& unusable : cases) {
        profiler.Analyse(unusable.path);
        ASSERT_TRUE(WaitUntilMade(profiler)) << unusable.path;
        EXPECT_EQ(profiler.Profile().State(), Progress::Failed) << unusable.path;
        EXPECT_THAT(profiler.Profile().Problem(), HasSubstr(unusable.reason)) << unusable.path;
    }
}

TEST_F(ProfilerTest, TheSoundOfAVideoAndOfATruncatedFileIsMeasuredAsFarAsItGoes)
{
    // Its sound starts a little after 0, as the player plays it: the blocks
    // before are silent.
    const DecodedSound reference = DecodeSound(PlayerMedia::Mpg());
    ASSERT_EQ(reference.problem, "");
    profiler.Analyse(PlayerMedia::Mpg());
    ASSERT_TRUE(WaitUntilMade(profiler));
    ASSERT_EQ(profiler.Profile().State(), Progress::Complete) << profiler.Profile().Problem();
    const double soundEnds = reference.start + double(reference.samples.size()) / reference.rate;
    EXPECT_NEAR(profiler.Profile().Seconds(), soundEnds, 0.011);
    const std::vector<LevelBlock> blocks = AllBlocks(profiler.Profile());
    ASSERT_GT(reference.start, 0.05);
    EXPECT_EQ(blocks.front(), LevelBlock{});
    EXPECT_GT(blocks[std::size_t(reference.start * kBlocksPerSecond) + 2].maximum, 1000);

    // The first 40% of 6 s.
    profiler.Analyse(PlayerMedia::TruncatedMp3());
    ASSERT_TRUE(WaitUntilMade(profiler));
    ASSERT_EQ(profiler.Profile().State(), Progress::Complete) << profiler.Profile().Problem();
    EXPECT_NEAR(profiler.Profile().Seconds(), 0.4 * PlayerMedia::kSoundSeconds, 0.1);
}

} // namespace
