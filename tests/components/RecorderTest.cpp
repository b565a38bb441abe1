// SPDX-License-Identifier: GPL-3.0-or-later
// The recorder on a live test tone: what ends up in the MP3 and what the
// engine reports on the way.

#include "support/RecorderSoundCheck.h"
#include "components/recorder/CMP3Enc.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace {

constexpr int kTone = 440;
// Decoded lengths may differ from what was captured by the encoder's frame
// rounding at the edges.
constexpr double kLengthTolerance = 0.05;

class RecorderTest : public testing::Test {
protected:
    std::string PathOf(const char* name) const { return m_folder.filePath(name).toStdString(); }

    static testing::AssertionResult Start(CMP3Enc& engine, std::string path)
    {
        engine.SetFileName(path.data());
        if (engine.StartRec())
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "StartRec failed: " << engine.LastError();
    }

    static std::int64_t FileSize(const std::string& path)
    {
        return static_cast<std::int64_t>(std::filesystem::file_size(path));
    }

    static bool IsOpenInThisProcess(const std::string& path)
    {
        std::error_code ignored;
        const std::filesystem::path file = std::filesystem::canonical(path, ignored);
        for (const auto& descriptor : std::filesystem::directory_iterator("/proc/self/fd", ignored)) {
            if (std::filesystem::read_symlink(descriptor.path(), ignored) == file)
                return true;
        }
        return false;
    }

    static double SecondsSince(std::chrono::steady_clock::time_point start)
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    // Decodes the file and checks it holds the test tone without a gap;
    // returns the tone's length.
    static double ToneLength(const std::string& path)
    {
        const DecodedSound sound = DecodeSound(path);
        EXPECT_EQ(sound.problem, "") << path;
        const ToneSpan tone = FindTone(sound);
        EXPECT_NEAR(ToneFrequency(sound, tone), kTone, kTone * 0.01) << path;
        EXPECT_LT(LongestQuietStretch(sound, tone), 0.010) << path;
        return tone.Length();
    }

    QTemporaryDir m_folder;
};

TEST_F(RecorderTest, RecordsTheInputUntilItEndsWithItsLengthAndPitch)
{
    CMP3Enc engine(ToneInput(kTone, 2.0));
    const std::string path = PathOf("tone.mp3");
    ASSERT_TRUE(Start(engine, path));
    EXPECT_TRUE(engine.IsRecording());

    ASSERT_TRUE(QTest::qWaitFor([&] { return !engine.IsRecording(); }, 6000));
    EXPECT_NE(engine.LastError().find("input ended"), std::string::npos) << engine.LastError();
    EXPECT_EQ(engine.GetRSec(), 2);
    EXPECT_EQ(engine.GetFileSize(), FileSize(path));
    EXPECT_NEAR(ToneLength(path), 2.0, kLengthTolerance);
}

TEST_F(RecorderTest, StopFinalisesTheFileAtExactlyTheReportedSize)
{
    CMP3Enc engine(ToneInput(kTone));
    const std::string path = PathOf("stopped.mp3");
    ASSERT_TRUE(Start(engine, path));
    const auto started = std::chrono::steady_clock::now();
    QTest::qWait(1500);
    const double recorded = SecondsSince(started);
    engine.StopRec();

    EXPECT_FALSE(engine.IsRecording());
    EXPECT_EQ(engine.LastError(), "");
    const std::int64_t size = engine.GetFileSize();
    EXPECT_GT(size, 0);
    EXPECT_EQ(size, FileSize(path));
    EXPECT_EQ(engine.GetRSec(), 1);
    EXPECT_NEAR(ToneLength(path), recorded, kLengthTolerance);

    // A second Stop changes nothing; the values stay for the labels.
    engine.StopRec();
    EXPECT_EQ(engine.GetFileSize(), size);
    EXPECT_EQ(engine.GetRSec(), 1);
}

// Stop's own end of stream never reads as the input's end, however soon it
// follows the start.
TEST_F(RecorderTest, StopRightAfterStartEndsCleanlyEveryTime)
{
    CMP3Enc engine(ToneInput(kTone));
    const std::string path = PathOf("short.mp3");
    for (int round = 0; round < 10; ++round) {
        ASSERT_TRUE(Start(engine, path));
        engine.StopRec();
        EXPECT_EQ(engine.LastError(), "") << "round " << round;
        EXPECT_EQ(engine.GetFileSize(), FileSize(path)) << "round " << round;
    }
}

// The news that the input ended is taken on the event loop as it arrives:
// the file is closed without anyone asking the engine.
TEST_F(RecorderTest, AnInputThatEndsIsClosedOnTheEventLoopWithoutAnyoneAsking)
{
    CMP3Enc engine(ToneInput(kTone, 0.5));
    const std::string path = PathOf("ended.mp3");
    ASSERT_TRUE(Start(engine, path));
    EXPECT_TRUE(IsOpenInThisProcess(path));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !IsOpenInThisProcess(path); }, 3000));
    EXPECT_FALSE(engine.IsRecording());
    EXPECT_NE(engine.LastError().find("input ended"), std::string::npos) << engine.LastError();
    EXPECT_EQ(engine.GetFileSize(), FileSize(path));
}

TEST_F(RecorderTest, RecordingOverAnExistingFileReplacesAllOfIt)
{
    const std::string path = PathOf("again.mp3");
    std::ofstream(path) << std::string(1 << 20, 'x');
    CMP3Enc engine(ToneInput(kTone));
    ASSERT_TRUE(Start(engine, path));
    QTest::qWait(500);
    engine.StopRec();

    EXPECT_EQ(engine.GetFileSize(), FileSize(path));
    EXPECT_LT(FileSize(path), 100'000);
    EXPECT_NEAR(ToneLength(path), 0.5, 0.1);
}

TEST_F(RecorderTest, PausedTimeIsNeitherCountedNorRecordedAndLeavesNoGap)
{
    CMP3Enc engine(ToneInput(kTone));
    const std::string path = PathOf("paused.mp3");
    ASSERT_TRUE(Start(engine, path));
    auto phase = std::chrono::steady_clock::now();
    QTest::qWait(1300);
    engine.PauseRec();
    double recorded = SecondsSince(phase);

    const std::int32_t secondsAtPause = engine.GetRSec();
    QTest::qWait(1500);
    EXPECT_TRUE(engine.IsRecording());
    EXPECT_EQ(engine.GetRSec(), secondsAtPause);

    phase = std::chrono::steady_clock::now();
    engine.PauseRec();
    QTest::qWait(1300);
    recorded += SecondsSince(phase);
    engine.StopRec();

    EXPECT_EQ(engine.GetRSec(), 2); // 2.6 s of sound in 4.1 s
    EXPECT_EQ(engine.GetFileSize(), FileSize(path));
    EXPECT_NEAR(ToneLength(path), recorded, kLengthTolerance);
}

TEST_F(RecorderTest, StartOnTheFileBeingRecordedKeepsRecordingIt)
{
    CMP3Enc engine(ToneInput(kTone));
    const std::string path = PathOf("same.mp3");
    ASSERT_TRUE(Start(engine, path));
    QTest::qWait(700);

    // While paused it resumes ...
    engine.PauseRec();
    ASSERT_TRUE(Start(engine, path));
    const std::int64_t bytes = engine.GetFileSize();
    EXPECT_TRUE(QTest::qWaitFor([&] { return engine.GetFileSize() > bytes; }, 1000));

    // ... and while recording it goes on, without truncating the file.
    QTest::qWait(700);
    ASSERT_TRUE(Start(engine, path));
    EXPECT_TRUE(engine.IsRecording());
    QTest::qWait(700);
    engine.StopRec();

    EXPECT_EQ(engine.GetRSec(), 2);
    EXPECT_GT(ToneLength(path), 2.0);
}

TEST_F(RecorderTest, StartOnAnotherFileFinishesTheFirstRecording)
{
    CMP3Enc engine(ToneInput(kTone));
    const std::string first = PathOf("first.mp3");
    const std::string second = PathOf("second.mp3");
    ASSERT_TRUE(Start(engine, first));
    QTest::qWait(1200);
    ASSERT_TRUE(Start(engine, second));
    EXPECT_EQ(engine.GetRSec(), 0);
    QTest::qWait(1200);
    engine.StopRec();

    EXPECT_NEAR(ToneLength(first), 1.2, 0.1);
    EXPECT_NEAR(ToneLength(second), 1.2, 0.1);
    EXPECT_EQ(engine.GetFileSize(), FileSize(second));
}

TEST_F(RecorderTest, DestroyingTheEngineWhileRecordingSavesTheRecording)
{
    const std::string path = PathOf("closed.mp3");
    double recorded = 0;
    {
        CMP3Enc engine(ToneInput(kTone));
        ASSERT_TRUE(Start(engine, path));
        const auto started = std::chrono::steady_clock::now();
        QTest::qWait(1000);
        recorded = SecondsSince(started);
    }
    EXPECT_NEAR(ToneLength(path), recorded, kLengthTolerance);
}

TEST_F(RecorderTest, DestroyingTheEngineWhilePausedSavesTheRecording)
{
    const std::string path = PathOf("closed-paused.mp3");
    {
        CMP3Enc engine(ToneInput(kTone));
        ASSERT_TRUE(Start(engine, path));
        QTest::qWait(1000);
        engine.PauseRec();
        QTest::qWait(300);
    }
    EXPECT_NEAR(ToneLength(path), 1.0, 0.1);
}

} // namespace
