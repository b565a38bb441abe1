// SPDX-License-Identifier: GPL-3.0-or-later
// The real take recorder and take player on GStreamer, with spoken sound
// stood in for by a WAV file of silence and a tone, captured in real time;
// the player's output falls back to a sink that runs in real time when there
// is no sound server.

#include "components/takes/CreateTakeEngines.h"
#include "components/takes/GstTakeRecorder.h"
#include "components/takes/PlaybackStart.h"
#include "components/takes/TakeDecoding.h"
#include "support/FileBytes.h"
#include "support/RecorderSoundCheck.h"
#include "support/WavFile.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>
#include <numbers>

namespace {

constexpr int kRate = 44100;

class TakeEnginesTest : public testing::Test {
protected:
    std::string PathIn(const std::string& name) const { return dir.filePath(QString::fromStdString(name)).toStdString(); }

    // A capture input that says something: `lead` s of silence, a second of
    // a 200 Hz tone, then 3 s of silence, delivered in real time.
    std::string SpeakingInput(double lead)
    {
        std::vector<float> samples(std::size_t((lead + 4) * kRate), 0.0f);
        for (std::size_t i = 0; i < std::size_t(kRate); ++i)
            samples[std::size_t(lead * kRate) + i] = float(0.3 * std::sin(2 * std::numbers::pi * 200 * double(i) / kRate));
        const std::string wav = PathIn("spoken.wav");
        WriteFileBytes(wav, WavBytes(samples, kRate));
        return "filesrc location=\"" + wav + "\" ! wavparse ! audioconvert ! identity sync=true";
    }

    // Waits (at most `ms`) for the take to end; its outcome.
    static std::optional<TakeRecorder::Outcome> Ending(TakeRecorder& recorder, int ms)
    {
        QSignalSpy ended(&recorder, &TakeRecorder::takeEnded);
        if (!ended.wait(ms))
            return std::nullopt;
        return ended.front().front().value<TakeRecorder::Outcome>();
    }

    QTemporaryDir dir;
    std::string take = PathIn("lesson.mp3 takes/000001.000-000002.000.mp3");
};

// The take ends 0.6 s after the sound, takes its name only then (an earlier
// take stays whole until then), and plays back from just before its sound.
TEST_F(TakeEnginesTest, ATakeEndsAfterTheSpeechReplacesTheEarlierOneAndPlaysFromItsFirstSound)
{
    TakeEngines engines = CreateTakeEngines(SpeakingInput(0.7));
    std::filesystem::create_directories(std::filesystem::path(take).parent_path());
    WriteFileBytes(take, "the earlier take");

    ASSERT_TRUE(engines.recorder->Record(take, 6)) << engines.recorder->LastError();
    EXPECT_TRUE(engines.recorder->IsRecording());
    QTest::qWait(300);
    EXPECT_EQ(ReadFileBytes(take), "the earlier take");
    EXPECT_TRUE(std::filesystem::exists(GstTakeRecorder::PartialPath(take)));

    ASSERT_EQ(Ending(*engines.recorder, 5000), TakeRecorder::Outcome::Kept) << engines.recorder->LastError();
    EXPECT_FALSE(engines.recorder->IsRecording());
    EXPECT_FALSE(std::filesystem::exists(GstTakeRecorder::PartialPath(take)));
    const DecodedSound sound = DecodeSound(take);
    ASSERT_EQ(sound.problem, "");
    const ToneSpan tone = FindTone(sound);
    EXPECT_NEAR(tone.Length(), 1.0, 0.02);
    // Ended 0.6 s after the sound (within a block, and the encoder's padding).
    EXPECT_NEAR(double(sound.samples.size()) / sound.rate - tone.end, 0.6, 0.08);

    const std::vector<std::int16_t> decoded = DecodeTake(take);
    const double start = double(PlaybackStart(decoded, 2, kRate)) / kRate;
    EXPECT_GE(tone.start - start, 0.0);
    EXPECT_LE(tone.start - start, 0.030);

    QSignalSpy finished(engines.player.get(), &TakePlayer::finished);
    ASSERT_TRUE(engines.player->Play(take)) << engines.player->LastError();
    EXPECT_TRUE(engines.player->IsPlaying());
    // The sound and the silence after it, not the silence before.
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(engines.player->LastError(), "");
    EXPECT_FALSE(engines.player->IsPlaying());
}

// Nothing said until the take's longest: nothing is kept.
TEST_F(TakeEnginesTest, ATakeWithoutSpeechKeepsNothing)
{
    TakeEngines engines = CreateTakeEngines(ToneInput(200, 0) + " ! volume volume=0");
    ASSERT_TRUE(engines.recorder->Record(take, 1)) << engines.recorder->LastError();
    EXPECT_EQ(Ending(*engines.recorder, 4000), TakeRecorder::Outcome::NoSpeech);
    EXPECT_FALSE(std::filesystem::exists(take));
    EXPECT_FALSE(std::filesystem::exists(GstTakeRecorder::PartialPath(take)));
}

// Cancel leaves the earlier take as it was and no partial file behind.
TEST_F(TakeEnginesTest, ACancelledTakeLeavesTheEarlierOne)
{
    TakeEngines engines = CreateTakeEngines(ToneInput(200));
    std::filesystem::create_directories(std::filesystem::path(take).parent_path());
    WriteFileBytes(take, "the earlier take");
    ASSERT_TRUE(engines.recorder->Record(take, 30));
    QSignalSpy ended(engines.recorder.get(), &TakeRecorder::takeEnded);
    QTest::qWait(500);
    engines.recorder->Cancel();
    EXPECT_FALSE(engines.recorder->IsRecording());
    EXPECT_EQ(ReadFileBytes(take), "the earlier take");
    EXPECT_FALSE(std::filesystem::exists(GstTakeRecorder::PartialPath(take)));
    EXPECT_TRUE(ended.isEmpty());
}

// Failures name the file and say what the system said.
TEST_F(TakeEnginesTest, FailuresSayWhichFileAndWhy)
{
    TakeEngines engines = CreateTakeEngines(ToneInput(200));
    WriteFileBytes(PathIn("plain file"), "");
    const std::string underFile = PathIn("plain file") + "/lesson.mp3 takes/000001.000-000002.000.mp3";
    EXPECT_FALSE(engines.recorder->Record(underFile, 5));
    EXPECT_EQ(engines.recorder->LastError(),
              "Cannot make the folder for takes \"" + PathIn("plain file") + "/lesson.mp3 takes\": Not a directory.");

    TakeEngines noInput = CreateTakeEngines("nosuchsource");
    EXPECT_FALSE(noInput.recorder->Record(take, 5));
    EXPECT_NE(noInput.recorder->LastError().find("nosuchsource"), std::string::npos) << noInput.recorder->LastError();

    const std::string missing = PathIn("missing.mp3");
    EXPECT_FALSE(engines.player->Play(missing));
    EXPECT_EQ(engines.player->LastError().rfind("Cannot play the take \"" + missing + "\": ", 0), 0u)
        << engines.player->LastError();
    WriteFileBytes(PathIn("text.mp3"), "not a take at all");
    EXPECT_FALSE(engines.player->Play(PathIn("text.mp3")));
    EXPECT_FALSE(engines.player->IsPlaying());
}

} // namespace
