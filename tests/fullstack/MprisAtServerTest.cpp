// SPDX-License-Identifier: GPL-3.0-or-later
#include "FullStackFixture.h"
#include "support/MprisClient.h"
#include "support/PrivateSessionBus.h"
#include "window/mpris/MprisService.h"

#include <QDBusObjectPath>

using SteppedTone::Stretch;

// The desktop's media controls on a session bus of the test's own, driving the
// real window and player at the private sound server.
TEST_F(FullStackTest, PlayPauseOnTheBusStartsTheSoundAndTheDesktopHearsOfIt)
{
    PrivateSessionBus bus;
    ASSERT_TRUE(bus.Ready()) << bus.Problem();
    StartWindow();
    std::unique_ptr<MprisService> service = window.dlg->OfferOnBus(bus.Connect("program"));
    ASSERT_TRUE(service->IsRegistered());
    MprisClient desktop(bus.Connect("desktop"));
    auto announced = [&](const char* name, const QVariant& value) {
        return QTest::qWaitFor([&] { return desktop.LastAnnounced(name) == value; }, 3000);
    };

    Open();
    QTest::qWait(300);
    EXPECT_EQ(desktop.Call(MprisClient::kPlayer, "Pause"), QString());
    ASSERT_TRUE(announced("PlaybackStatus", "Paused"));
    // Play goes on from the segment's end.
    SetSegment(2.0, 2.0);
    QTest::qWait(300);

    std::size_t mark = Mark();
    EXPECT_EQ(desktop.Call(MprisClient::kPlayer, "PlayPause"), QString());
    ASSERT_TRUE(announced("PlaybackStatus", "Playing"));
    QTest::qWait(1500);
    std::vector<Stretch> heard = HeardSince(mark);
    ASSERT_GE(heard.size(), 2u) << "PlayPause played too little";
    EXPECT_EQ(heard[0].second, 2);
    EXPECT_LT(heard[0].start, 0.3) << "the sound came late after PlayPause";
    EXPECT_EQ(heard[1].second, 3);

    // The real media's length, and its end noticed when playback reaches it.
    std::map<QString, MprisClient::Property> metadata =
        MprisClient::Entries(desktop.Get(MprisClient::kPlayer, "Metadata").value);
    EXPECT_NEAR(metadata["mpris:length"].value.toLongLong(), SteppedTone::kSeconds * 1'000'000LL, 1000);
    const QVariant track = metadata["mpris:trackid"].value;
    EXPECT_EQ(desktop.Call(MprisClient::kPlayer, "SetPosition", {track, qlonglong(5'500'000)}), QString());
    EXPECT_TRUE(announced("PlaybackStatus", "Stopped")) << "the end of the media was not announced";
}
