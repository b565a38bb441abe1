// The recorder on the default input of a real sound server: a private
// PulseAudio whose default source hears what is played into its null sink.

#include "RecorderPulseServer.h"
#include "RecorderSoundCheck.h"
#include "components/recorder/CMP3Enc.h"

#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>

using namespace std::chrono_literals;
using testing::HasSubstr;

namespace {

constexpr int kTone = 660;

class RecorderPulseTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.Ready()) << m_server.Problem();
        if (const char* previous = std::getenv("PULSE_SERVER"))
            m_previousServer = previous;
        setenv("PULSE_SERVER", m_server.Address().c_str(), 1);
        ASSERT_TRUE(m_server.PlayTone(kTone)) << m_server.Problem();
    }

    void TearDown() override
    {
        if (m_previousServer)
            setenv("PULSE_SERVER", m_previousServer->c_str(), 1);
        else
            unsetenv("PULSE_SERVER");
    }

    std::string PathOf(const char* name) const { return m_folder.filePath(name).toStdString(); }

    PrivatePulseServer m_server;
    std::optional<std::string> m_previousServer;
    QTemporaryDir m_folder;
};

TEST_F(RecorderPulseTest, RecordsWhatIsPlayedIntoTheServer)
{
    CMP3Enc engine;
    std::string path = PathOf("heard.mp3");
    engine.SetFileName(path.data());
    ASSERT_TRUE(engine.StartRec()) << engine.LastError();
    std::this_thread::sleep_for(1500ms);
    engine.StopRec();
    EXPECT_EQ(engine.LastError(), "");
    EXPECT_EQ(engine.GetRSec(), 1);

    const DecodedSound sound = DecodeRecording(path);
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
    std::this_thread::sleep_for(1000ms);
    m_server.Kill();

    ASSERT_TRUE(WaitUntil([&] { return !engine.IsRecording(); }, 5s));
    EXPECT_THAT(engine.LastError(), HasSubstr("sound input failed"));
    EXPECT_EQ(engine.GetFileSize(), static_cast<std::int64_t>(std::filesystem::file_size(path)));
    const DecodedSound sound = DecodeRecording(path);
    ASSERT_EQ(sound.problem, "");
    EXPECT_NEAR(FindTone(sound).Length(), 1.0, 0.15);
}

} // namespace
