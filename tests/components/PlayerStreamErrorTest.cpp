// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlayerFixture.h"

#include "components/MediaFramework.h"

#include <stdexcept>

// A stream that breaks while it plays, and a framework that does not answer.

namespace {

GstElementHandle SoundOutput(const std::string& description)
{
    InitialiseMediaFramework();
    GError* rawError = nullptr;
    GstElementHandle bin = AdoptElement(gst_parse_bin_from_description(description.c_str(), TRUE, &rawError));
    GErrorHandle error(rawError);
    if (!bin)
        throw std::runtime_error("cannot build " + description);
    return bin;
}

// A sound output that fails after `buffers` buffers, as a stream with a read or
// decode error would.
GstElementHandle FailingSoundOutput(int buffers)
{
    return SoundOutput("identity name=breaker error-after=" + std::to_string(buffers) + " ! fakesink sync=true");
}

// A sound output that holds up every buffer for `ms`: a framework that hangs.
GstElementHandle StuckSoundOutput(int ms)
{
    return SoundOutput("identity sleep-time=" + std::to_string(ms * 1000) + " ! fakesink sync=true");
}

// A sound output that fails as playback halts (PLAYING to PAUSED): an error
// that arrives during Stop's own state change. A fakesink of a type of its own.
GstStateChangeReturn (*g_fakeSinkChangeState)(GstElement*, GstStateChange) = nullptr;

GstStateChangeReturn FailOnHalt(GstElement* element, GstStateChange transition)
{
    if (transition == GST_STATE_CHANGE_PLAYING_TO_PAUSED)
        GST_ELEMENT_ERROR(element, RESOURCE, FAILED, ("the sound device went away"), (nullptr));
    return g_fakeSinkChangeState(element, transition);
}

GstElementHandle SoundOutputFailingOnHalt()
{
    static const GType type = [] {
        InitialiseMediaFramework();
        GstElementHandle fake = AdoptElement(gst_element_factory_make("fakesink", nullptr));
        const GType parent = G_OBJECT_TYPE(fake.get());
        GTypeQuery query;
        g_type_query(parent, &query);
        GTypeInfo info{};
        info.class_size = guint16(query.class_size);
        info.instance_size = guint16(query.instance_size);
        info.class_init = [](gpointer klass, gpointer) {
            auto* elementClass = GST_ELEMENT_CLASS(klass);
            g_fakeSinkChangeState = elementClass->change_state;
            elementClass->change_state = FailOnHalt;
        };
        return g_type_register_static(parent, "ArdenoTestFailOnHaltSink", &info, GTypeFlags(0));
    }();
    GstElementHandle sink = AdoptElement(GST_ELEMENT(g_object_new(type, "sync", TRUE, nullptr)));
    return sink;
}

} // namespace

// Stop is issued on the way out (closing the window): an error that arrives
// while it stops is shown and left to the next operation, never thrown by Stop.
TEST(PlayerStopTest, AnErrorDuringStopsOwnStateChangeIsNotRaisedByIt)
{
    TestSurface surface;
    GstMediaPlayer player(GstPlayerSettings{SoundOutputFailingOnHalt()});
    player.setSurface(&surface);
    const std::string path = PlayerMedia::Wav();
    player.SetMediaFileName(path);
    player.Play();
    QTest::qWait(200);

    EXPECT_NO_THROW(player.Stop());
    EXPECT_TRUE(QTest::qWaitFor([&] { return surface.text().contains("sound device went away"); }, 2000))
        << surface.text().toStdString();
    EXPECT_PLAYER_FAULT(player.Play(), PlayerFaultCode::StreamBroken, PlayerOperation::Play,
                        testing::HasSubstr("sound device went away"));
}

class BrokenStreamTest : public PlayerTest {
protected:
    BrokenStreamTest()
    {
        player = MakePlayer(GstPlayerSettings{FailingSoundOutput(30)});
        path = PlayerMedia::Wav();
        player->SetMediaFileName(path);
        player->SetCurrentPosition(1.0);
        player->Play();
    }

    // Plays until the break shows on the surface.
    void PlayUntilBroken()
    {
        ASSERT_TRUE(WaitFor([&] { return surface.text().contains("Cannot play"); }));
    }

    std::string path;
};

TEST_F(BrokenStreamTest, BreakIsShownAndTheNextOperationFaultsWithItOnce)
{
    PlayUntilBroken();
    EXPECT_THAT(surface.text().toStdString(), testing::AllOf(testing::HasSubstr(path), testing::HasSubstr("breaker")));
    EXPECT_TRUE(surface.frame().isNull());

    EXPECT_PLAYER_FAULT(player->GetCurrentPosition(), PlayerFaultCode::StreamBroken,
                        PlayerOperation::GetCurrentPosition, testing::AllOf(testing::HasSubstr(path), testing::HasSubstr("breaker")));

    // Raised once: the timers that read the position go on, and the position
    // stays where the stream broke.
    double broken = player->GetCurrentPosition();
    EXPECT_GT(broken, 1.0);
    EXPECT_LT(broken, 2.5);
    player->SetCurrentPosition(3.0);
    player->Play();
    Run(100);
    EXPECT_EQ(player->GetCurrentPosition(), broken);

    // A new load starts afresh.
    player->SetMediaFileName(path);
    EXPECT_EQ(player->GetCurrentPosition(), 0.0);
}

// A view reading the status does not take the break from the operation that
// is to report it.
TEST_F(BrokenStreamTest, TheStatusSaysStoppedAndLeavesTheBreakToTheNextOperation)
{
    PlayUntilBroken();
    PlaybackStatus status = player->Status();
    EXPECT_EQ(player->PlayState(), PlaybackState::Stopped);
    EXPECT_FALSE(status.length);
    EXPECT_GT(status.position, 1.0);
    EXPECT_PLAYER_FAULT(player->GetCurrentPosition(), PlayerFaultCode::StreamBroken,
                        PlayerOperation::GetCurrentPosition, testing::HasSubstr("breaker"));
}

// Stop is issued on the way out (closing the window, opening another file)
// and does not raise the break; the next other operation does.
TEST_F(BrokenStreamTest, StopLeavesTheFaultToTheNextOperation)
{
    PlayUntilBroken();
    player->Stop();
    EXPECT_PLAYER_FAULT(player->Pause(), PlayerFaultCode::StreamBroken, PlayerOperation::Pause, testing::HasSubstr(path));
}

TEST_F(BrokenStreamTest, LoadAfterABreakFirstReportsIt)
{
    PlayUntilBroken();
    EXPECT_PLAYER_FAULT(player->SetMediaFileName(PlayerMedia::CbrMp3()), PlayerFaultCode::StreamBroken,
                        PlayerOperation::SetMediaFileName, testing::HasSubstr(path));
    player->SetMediaFileName(PlayerMedia::CbrMp3());
    EXPECT_EQ(surface.text().toStdString(), "noise-cbr.mp3");
}

// A framework that does not finish in time makes the operation fail, it does
// not hang the program; the file is not left half loaded.
TEST(PlayerTimeoutTest, LoadThatTakesTooLongFaultsWithTimeout)
{
    TestSurface surface;
    GstMediaPlayer player(GstPlayerSettings{StuckSoundOutput(1000), std::chrono::milliseconds(200)});
    player.setSurface(&surface);
    std::string path = PlayerMedia::Wav();
    EXPECT_PLAYER_FAULT(player.SetMediaFileName(path), PlayerFaultCode::Timeout, PlayerOperation::SetMediaFileName,
                        testing::HasSubstr(path));
    EXPECT_EQ(player.GetCurrentPosition(), 0.0);
    player.Play();
    EXPECT_EQ(player.GetCurrentPosition(), 0.0);
}
