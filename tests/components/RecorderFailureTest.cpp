// SPDX-License-Identifier: GPL-3.0-or-later
// The recorder when there is nothing to record, when it cannot start and
// when a recording breaks off: clear reasons, and nothing the user had is
// lost.

#include "support/FileBytes.h"
#include "support/RecorderSoundCheck.h"
#include "components/recorder/CMP3Enc.h"

#include <QTemporaryDir>
#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

using testing::HasSubstr;

namespace {

class RecorderFailureTest : public testing::Test {
protected:
    std::string PathOf(const char* name) const { return m_folder.filePath(name).toStdString(); }

    static bool StartInto(CMP3Enc& engine, std::string path)
    {
        engine.SetFileName(path.data());
        return engine.StartRec();
    }

    QTemporaryDir m_folder;
};

TEST_F(RecorderFailureTest, AnIdleEngineReportsNothingAndIgnoresPauseAndStop)
{
    CMP3Enc engine(ToneInput(440));
    EXPECT_EQ(engine.GetRSec(), 0);
    EXPECT_EQ(engine.GetFileSize(), 0);
    engine.PauseRec();
    engine.StopRec();
    EXPECT_FALSE(engine.IsRecording());
    EXPECT_EQ(engine.LastError(), "");

    char path[] = "/tmp/name.mp3";
    engine.SetFileName(path);
    EXPECT_STREQ(path, "/tmp/name.mp3");
}

TEST_F(RecorderFailureTest, AFileInAMissingFolderIsRefusedWithTheReason)
{
    CMP3Enc engine(ToneInput(440));
    const std::string path = PathOf("missing/take.mp3");
    EXPECT_FALSE(StartInto(engine, path));
    EXPECT_FALSE(engine.IsRecording());
    EXPECT_THAT(engine.LastError(), HasSubstr(path));
    EXPECT_THAT(engine.LastError(), HasSubstr("does not exist"));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(RecorderFailureTest, AFolderOrNoNameIsRefusedWithTheReason)
{
    CMP3Enc engine(ToneInput(440));
    EXPECT_FALSE(StartInto(engine, m_folder.path().toStdString()));
    EXPECT_THAT(engine.LastError(), HasSubstr(std::strerror(EISDIR)));

    EXPECT_FALSE(StartInto(engine, ""));
    EXPECT_THAT(engine.LastError(), HasSubstr("No file name"));
}

TEST_F(RecorderFailureTest, AStartThatFailsClearsTheLastRecordingsFigures)
{
    CMP3Enc engine(ToneInput(440));
    ASSERT_TRUE(StartInto(engine, PathOf("good.mp3"))) << engine.LastError();
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.GetFileSize() > 0; }, 2000));
    engine.StopRec();

    EXPECT_FALSE(StartInto(engine, PathOf("missing/take.mp3")));
    EXPECT_EQ(engine.GetFileSize(), 0);
    EXPECT_EQ(engine.GetRSec(), 0);
}

TEST_F(RecorderFailureTest, AnUnreachableSoundServerLeavesAnExistingFileAlone)
{
    CMP3Enc engine("pulsesrc server=unix:/nonexistent/pulse/native");
    const std::string kept = PathOf("kept.mp3");
    std::ofstream(kept) << "an earlier recording";
    const std::string fresh = PathOf("fresh.mp3");

    EXPECT_FALSE(StartInto(engine, kept));
    EXPECT_THAT(engine.LastError(), HasSubstr("sound input could not be opened"));
    EXPECT_THAT(engine.LastError(), HasSubstr("Connection refused"));
    EXPECT_EQ(ReadFileBytes(kept), "an earlier recording");

    EXPECT_FALSE(StartInto(engine, fresh));
    EXPECT_FALSE(std::filesystem::exists(fresh));
}

// A file whose earlier contents cannot be removed (here one sealed against
// shrinking) would keep their rest behind the new recording: the start fails
// with the reason, and the file is as it was.
TEST_F(RecorderFailureTest, AFileThatCannotBeCutFailsTheStartAndStaysAsItWas)
{
    const int sealed = memfd_create("earlier-take", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    ASSERT_GE(sealed, 0);
    const std::string earlier = "an earlier, longer recording";
    ASSERT_EQ(write(sealed, earlier.data(), earlier.size()), ssize_t(earlier.size()));
    ASSERT_EQ(fcntl(sealed, F_ADD_SEALS, F_SEAL_SHRINK), 0);
    const std::string path = "/proc/self/fd/" + std::to_string(sealed);

    CMP3Enc engine(ToneInput(440));
    EXPECT_FALSE(StartInto(engine, path));
    EXPECT_THAT(engine.LastError(), HasSubstr("earlier contents could not be removed"));
    EXPECT_THAT(engine.LastError(), HasSubstr("Operation not permitted"));
    EXPECT_FALSE(engine.IsRecording());
    EXPECT_EQ(ReadFileBytes(path), earlier);
    close(sealed);
}

// An input that stops delivering sound (a device that hangs) does not leave a
// recording that runs on silently: it ends with the reason, saved.
TEST_F(RecorderFailureTest, AnInputThatStopsDeliveringEndsTheRecordingWithTheReason)
{
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    fcntl(ends[1], F_SETPIPE_SZ, 1 << 20);
    std::string second;
    for (int i = 0; i < 44100; ++i) {
        const auto sample = static_cast<std::int16_t>(8000 * std::sin(i * 2 * M_PI * 440 / 44100));
        second.append(reinterpret_cast<const char*>(&sample), sizeof sample);
    }
    ASSERT_EQ(write(ends[1], second.data(), second.size()), ssize_t(second.size()));

    CMP3Enc engine("fdsrc fd=" + std::to_string(ends[0])
                   + " ! rawaudioparse use-sink-caps=false format=pcm pcm-format=s16le sample-rate=44100 num-channels=1");
    const std::string path = PathOf("stalled.mp3");
    ASSERT_TRUE(StartInto(engine, path)) << engine.LastError();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !engine.IsRecording(); }, 10000));
    EXPECT_THAT(engine.LastError(), HasSubstr("delivered no sound for 3 seconds"));
    EXPECT_THAT(engine.LastError(), HasSubstr("The recording is saved up to that moment."));
    EXPECT_NEAR(FindTone(DecodeSound(path)).Length(), 1.0, 0.1);
    close(ends[0]);
    close(ends[1]);
}

TEST_F(RecorderFailureTest, AnInputThatCannotBeBuiltIsNamed)
{
    CMP3Enc engine("nosuchsource");
    EXPECT_FALSE(StartInto(engine, PathOf("take.mp3")));
    EXPECT_THAT(engine.LastError(), HasSubstr("nosuchsource"));
}

TEST_F(RecorderFailureTest, AFullDiskEndsTheRecordingWithTheReason)
{
    CMP3Enc engine(ToneInput(440));
    ASSERT_TRUE(StartInto(engine, "/dev/full")) << engine.LastError();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !engine.IsRecording(); }, 3000));
    EXPECT_THAT(engine.LastError(), HasSubstr("Writing \"/dev/full\" failed"));
    EXPECT_THAT(engine.LastError(), HasSubstr("No space left"));

    // Pause and Stop after the failure are harmless and keep the reason.
    engine.PauseRec();
    engine.StopRec();
    EXPECT_THAT(engine.LastError(), HasSubstr("No space left"));
}

} // namespace
