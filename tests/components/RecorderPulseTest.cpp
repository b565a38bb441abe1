// SPDX-License-Identifier: GPL-3.0-or-later
// The recorder on the default input of a real sound server: a private
// PulseAudio whose default source hears what is played into its null sink.

#include "support/RecorderSoundCheck.h"
#include "components/recorder/CMP3Enc.h"
#include "support/PrivatePulseSession.h"

#include <QTemporaryDir>
#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

using testing::HasSubstr;

namespace {

constexpr int kTone = 660;

class RecorderPulseTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.Ready()) << m_server.Problem();
        ASSERT_TRUE(m_server.PlayTone(kTone)) << m_server.Problem();
    }

    std::string PathOf(const char* name) const { return m_folder.filePath(name).toStdString(); }

    PrivatePulseSession m_server;
    QTemporaryDir m_folder;
};

TEST_F(RecorderPulseTest, RecordsWhatIsPlayedIntoTheServer)
{
    CMP3Enc engine;
    std::string path = PathOf("heard.mp3");
    engine.SetFileName(path.data());
    ASSERT_TRUE(engine.StartRec()) << engine.LastError();
    QTest::qWait(1500);
    engine.StopRec();
    EXPECT_EQ(engine.LastError(), "");
    EXPECT_EQ(engine.GetRSec(), 1);

    const DecodedSound sound = DecodeSound(path);
    ASSERT_EQ(sound.problem, "");
    const ToneSpan tone = FindTone(sound);
    EXPECT_NEAR(tone.Length(), 1.5, 0.1);
    EXPECT_NEAR(ToneFrequency(sound, tone), kTone, kTone * 0.01);
}

TEST_F(RecorderPulseTest, AServerThatGoesAwayEndsTheRecordingAndKeepsWhatWasRecorded)
{
    CMP3Enc engine;
    std::string path = PathOf("cut.mp3");
    engine.SetFileName(path.data());
    ASSERT_TRUE(engine.StartRec()) << engine.LastError();
    QTest::qWait(1000);
    m_server.Kill();

    ASSERT_TRUE(QTest::qWaitFor([&] { return !engine.IsRecording(); }, 5000));
    EXPECT_THAT(engine.LastError(), HasSubstr("sound input failed"));
    EXPECT_EQ(engine.GetFileSize(), static_cast<std::int64_t>(std::filesystem::file_size(path)));
    const DecodedSound sound = DecodeSound(path);
    ASSERT_EQ(sound.problem, "");
    EXPECT_NEAR(FindTone(sound).Length(), 1.0, 0.15);
}

} // namespace
