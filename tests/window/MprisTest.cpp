// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileBytes.h"
#include "support/MprisClient.h"
#include "support/PrivateSessionBus.h"
#include "support/WindowTest.h"
#include "window/mpris/MprisService.h"
#include "window/speed/PlaybackSpeed.h"

#include <QApplication>
#include <QDBusObjectPath>
#include <QFile>
#include <QMessageBox>
#include <QTest>
#include <QUrl>

// The window as a media player on a session bus of the test's own, driven by
// a client as a desktop's media widget drives it; the player is the fake.

namespace {

using Strings = std::vector<std::string>;

constexpr const char* kRoot = MprisClient::kRoot;
constexpr const char* kPlayer = MprisClient::kPlayer;
constexpr const char* kNoTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

class MprisTest : public WindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bus.Ready()) << bus.Problem();
        Start();
        service = dlg->OfferOnBus(bus.Connect("program"));
        ASSERT_TRUE(service->IsRegistered());
        client = std::make_unique<MprisClient>(bus.Connect("desktop"));
    }

    // Calls a method of the Player interface; the call must succeed.
    void Call(const char* method, const QVariantList& arguments = {})
    {
        EXPECT_EQ(client->Call(kPlayer, method, arguments), QString()) << method;
    }
    // Waits (at most 2 s) until the program has done what it was asked.
    template <typename Predicate>
    static bool Eventually(Predicate done)
    {
        return QTest::qWaitFor(done, 2000);
    }
    bool CommandsAre(const Strings& expected) const { return player->Commands() == expected; }
    // Waits until `name` has been announced with `value`.
    bool Announced(const QString& name, const QVariant& value)
    {
        return Eventually([&] { return client->LastAnnounced(name) == value; });
    }
    QVariant Value(const char* interface, const QString& name) { return client->Get(interface, name).value; }
    std::map<QString, MprisClient::Property> Metadata()
    {
        return MprisClient::Entries(client->Get(kPlayer, "Metadata").value);
    }
    QDBusObjectPath TrackId() { return Metadata()["mpris:trackid"].value.value<QDBusObjectPath>(); }

    // Opens `name` and waits until the opening has been announced, then
    // forgets the calls and announcements so far.
    void OpenAndForget(const std::string& name, const std::optional<std::string>& pointFile = std::nullopt)
    {
        OpenMedia(name, pointFile);
        ASSERT_TRUE(Announced("PlaybackStatus", "Playing"));
        player->calls.clear();
        client->changes.clear();
        client->seeks.clear();
    }

    PrivateSessionBus bus;
    std::unique_ptr<MprisService> service;
    std::unique_ptr<MprisClient> client;
};

TEST_F(MprisTest, EveryPropertyIsReadableWithItsMprisType)
{
    const std::map<const char*, std::map<QString, QString>> types = {
        {kRoot,
         {{"CanQuit", "b"}, {"CanRaise", "b"}, {"HasTrackList", "b"}, {"Identity", "s"}, {"DesktopEntry", "s"},
          {"SupportedUriSchemes", "as"}, {"SupportedMimeTypes", "as"}}},
        {kPlayer,
         {{"PlaybackStatus", "s"}, {"Rate", "d"}, {"Metadata", "a{sv}"}, {"Volume", "d"}, {"Position", "x"},
          {"MinimumRate", "d"}, {"MaximumRate", "d"}, {"CanGoNext", "b"}, {"CanGoPrevious", "b"}, {"CanPlay", "b"},
          {"CanPause", "b"}, {"CanSeek", "b"}, {"CanControl", "b"}}},
    };
    for (const auto& [interface, properties] : types) {
        std::map<QString, MprisClient::Property> all = client->GetAll(interface);
        EXPECT_EQ(all.size(), properties.size()) << interface;
        for (const auto& [name, type] : properties) {
            EXPECT_EQ(client->Get(interface, name).signature, type) << interface << " " << name.toStdString();
            EXPECT_EQ(all[name].signature, type) << interface << " " << name.toStdString() << " in GetAll";
        }
    }

    EXPECT_EQ(Value(kRoot, "Identity"), "Ardeno Audio Recorder");
    EXPECT_EQ(Value(kRoot, "DesktopEntry"), ARDENO_APP_ID);
    EXPECT_EQ(Value(kRoot, "CanQuit"), true);
    EXPECT_EQ(Value(kRoot, "CanRaise"), true);
    EXPECT_EQ(Value(kRoot, "HasTrackList"), false);
    EXPECT_EQ(Value(kRoot, "SupportedUriSchemes"), QStringList{"file"});
    EXPECT_EQ(Value(kPlayer, "PlaybackStatus"), "Stopped");
    EXPECT_EQ(Value(kPlayer, "Rate"), 1.0);
    EXPECT_EQ(Value(kPlayer, "MinimumRate"), 0.5);
    EXPECT_EQ(Value(kPlayer, "MaximumRate"), 1.5);
    EXPECT_EQ(Value(kPlayer, "CanControl"), true);
    // Nothing is loaded yet: no track, nothing to play.
    EXPECT_EQ(Value(kPlayer, "CanPlay"), false);
    EXPECT_EQ(TrackId().path(), kNoTrack);
    EXPECT_EQ(Metadata().size(), 1u);

    player->length = 61.5;
    std::string path = OpenMedia("lesson.mp3");
    player->position = 12.25;
    std::map<QString, MprisClient::Property> metadata = Metadata();
    EXPECT_EQ(metadata["mpris:trackid"].signature, "o");
    EXPECT_NE(TrackId().path(), kNoTrack);
    EXPECT_EQ(metadata["mpris:length"].signature, "x");
    EXPECT_EQ(metadata["mpris:length"].value, qlonglong(61'500'000));
    EXPECT_EQ(metadata["xesam:title"].signature, "s");
    EXPECT_EQ(metadata["xesam:title"].value, "lesson.mp3");
    EXPECT_EQ(metadata["xesam:url"].signature, "s");
    EXPECT_EQ(metadata["xesam:url"].value, QUrl::fromLocalFile(QString::fromStdString(path)).toString());
    EXPECT_EQ(Value(kPlayer, "PlaybackStatus"), "Playing");
    EXPECT_EQ(Value(kPlayer, "Position"), qlonglong(12'250'000));
    for (const char* can : {"CanPlay", "CanPause", "CanSeek", "CanGoPrevious"})
        EXPECT_EQ(Value(kPlayer, can), true) << can;
}

TEST_F(MprisTest, PlayPauseActsAsSpaceAndEachChangeIsAnnouncedOnce)
{
    OpenAndForget("lesson.mp3");
    player->position = 7.5;
    Call("PlayPause");
    ASSERT_TRUE(Eventually([&] { return CommandsAre({"Pause"}); }));
    EXPECT_DOUBLE_EQ(dlg->Segment().End(), 7.5) << "Pause marks the end";
    ASSERT_TRUE(Announced("PlaybackStatus", "Paused"));

    player->calls.clear();
    Call("PlayPause"); // Play: on from the end
    ASSERT_TRUE(Eventually([&] { return CommandsAre({"SetMediaFileName(" + PathIn("lesson.mp3") + ")",
                                                     "SetCurrentPosition(7.500000)", "Play"}); }));
    ASSERT_TRUE(Announced("PlaybackStatus", "Playing"));

    player->calls.clear();
    Call("Stop");
    Call("Play");
    Call("Play"); // playing already: no effect
    Call("Pause");
    Call("Pause"); // paused already: no effect
    ASSERT_TRUE(Eventually([&] { return player->Commands().size() >= 5 && player->Commands().back() == "Pause"; }));
    EXPECT_EQ(player->Commands(), (Strings{"Stop", "SetMediaFileName(" + PathIn("lesson.mp3") + ")",
                                           "SetCurrentPosition(7.500000)", "Play", "Pause"}));
    ASSERT_TRUE(Announced("PlaybackStatus", "Paused"));

    // A moved segment is no property: nothing more is announced.
    dlg->Segment().SetSegment(1, 2);
    QTest::qWait(50);
    Strings statuses;
    for (const QVariantMap& change : client->changes) {
        ASSERT_TRUE(change.contains("PlaybackStatus")) << "an announcement of nothing new";
        statuses.push_back(change.value("PlaybackStatus").toString().toStdString());
    }
    EXPECT_EQ(statuses, (Strings{"Paused", "Playing", "Stopped", "Playing", "Paused"}));
}

TEST_F(MprisTest, NextPlaysTheNextSentenceAndPreviousRepeats)
{
    OpenAndForget("lesson.mp3");
    profiler->Speak({{1, 3}, {4, 6.5}, {7.5, 9}}, 10);
    EXPECT_EQ(Value(kPlayer, "CanGoNext"), true);
    Call("Next");
    // The sentences reach a block into the silence on each side, and a margin further.
    ASSERT_TRUE(Eventually([&] { return CommandsAre({"SetCurrentPosition(0.890000)", "Play"}); }))
        << testing::PrintToString(player->Commands());
    EXPECT_NEAR(*player->segmentEnd, 3.11, 1e-9);
    Call("Next");
    Call("Next");
    ASSERT_TRUE(Eventually([&] { return std::abs(dlg->Segment().Start() - 7.39) < 1e-9; }));
    // The last sentence plays: there is no next one.
    ASSERT_TRUE(Announced("CanGoNext", false));

    player->calls.clear();
    dlg->Segment().SetSegment(2, 5);
    Call("Previous");
    ASSERT_TRUE(Eventually([&] { return CommandsAre({"SetCurrentPosition(2.000000)", "Play"}); }));
    EXPECT_TRUE(dlg->IsTimerRunning(RepeatTimer));
    ASSERT_TRUE(Eventually([&] { return client->seeks.size() == 4; }));
    EXPECT_EQ(client->seeks, (std::vector<qlonglong>{890'000, 3'890'000, 7'390'000, 2'000'000}));
}

TEST_F(MprisTest, SeekAndSetPositionMoveThePlayerWithinTheTrack)
{
    player->length = 60;
    OpenAndForget("lesson.mp3");
    player->position = 10;
    Call("Seek", {qlonglong(2'500'000)});
    ASSERT_TRUE(Eventually([&] { return CommandsAre({"SetCurrentPosition(12.500000)"}); }));
    Call("Seek", {qlonglong(-20'000'000)}); // before the start: the start
    ASSERT_TRUE(Eventually([&] { return player->Commands().size() == 2; }));
    EXPECT_EQ(player->Commands().back(), "SetCurrentPosition(0.000000)");

    // Ignored: another track, past the end, before the start.
    player->calls.clear();
    const QDBusObjectPath track = TrackId();
    Call("SetPosition", {QVariant::fromValue(QDBusObjectPath("/org/example/other")), qlonglong(30'000'000)});
    Call("SetPosition", {QVariant::fromValue(track), qlonglong(61'000'000)});
    Call("SetPosition", {QVariant::fromValue(track), qlonglong(-1)});
    Call("SetPosition", {QVariant::fromValue(track), qlonglong(30'000'000)});
    ASSERT_TRUE(Eventually([&] { return !player->Commands().empty(); }));
    QTest::qWait(20);
    EXPECT_EQ(player->Commands(), Strings{"SetCurrentPosition(30.000000)"});
    ASSERT_TRUE(Eventually([&] { return client->seeks.size() == 3; }));
    EXPECT_EQ(client->seeks, (std::vector<qlonglong>{12'500'000, 0, 30'000'000}));
}

TEST_F(MprisTest, OpenUriOpensTheFileAsOpenDoes)
{
    OpenAndForget("lesson.mp3", "5\r\n");
    const QDBusObjectPath firstTrack = TrackId();
    Click(ControlId::AddPoint);
    prompts.answers.push_back(BoxAnswer::No); // do not save the changed points
    WriteFileBytes(PathIn("other.txt"), "3\r\n");

    Call("OpenUri", {QUrl::fromLocalFile(QString::fromStdString(PathIn("other.mp3"))).toString()});
    ASSERT_TRUE(Eventually([&] { return player->playing && player->loadedPath == PathIn("other.mp3"); }));
    EXPECT_EQ(prompts.boxes.size(), 1u) << "the changed points are offered for saving first";
    EXPECT_EQ(dlg->Points().Times(), std::vector<double>{3});
    EXPECT_EQ(Text(ControlId::MediaPath), PathIn("other.mp3"));
    EXPECT_EQ(Text(ControlId::StartTime), "0");
    ASSERT_TRUE(Eventually([&] { return Metadata()["xesam:title"].value == "other.mp3"; }));
    EXPECT_NE(TrackId(), firstTrack);

    // Only files.
    player->calls.clear();
    EXPECT_EQ(client->Call(kPlayer, "OpenUri", {QString("https://example.org/lesson.mp3")}),
              "org.freedesktop.DBus.Error.NotSupported");
    QTest::qWait(20);
    EXPECT_TRUE(player->Commands().empty());
}

TEST_F(MprisTest, QuitEndsAsTheCloseBoxDoesAndRaiseBringsTheWindowBack)
{
    dlg->showMinimized();
    EXPECT_EQ(client->Call(kRoot, "Raise"), QString());
    EXPECT_FALSE(dlg->isMinimized());
    EXPECT_TRUE(dlg->isVisible());

    EXPECT_EQ(client->Call(kRoot, "Quit"), QString());
    ASSERT_TRUE(Eventually([&] { return !dlg->isVisible(); }));
    EXPECT_EQ(player->Commands(), Strings{"Stop"});
    EXPECT_TRUE(QFile::exists(QString::fromStdString(environment.settingsPath))) << "the settings were not saved";
}

TEST_F(MprisTest, NothingRunsWhileABoxIsOpenOverTheWindow)
{
    OpenAndForget("lesson.mp3");
    QMessageBox box(QMessageBox::Information, "Kestwin Software Inc", "a box", QMessageBox::Ok, dlg.get());
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    Call("PlayPause");
    Call("Stop");
    EXPECT_EQ(client->Call(kRoot, "Quit"), QString());
    QTest::qWait(50);
    EXPECT_TRUE(player->Commands().empty());
    EXPECT_TRUE(dlg->isVisible());
    box.close();

    Call("Stop");
    EXPECT_TRUE(Eventually([&] { return CommandsAre({"Stop"}); }));
}

TEST_F(MprisTest, WhatTheWindowCannotDoNowIsSaidSoAndNotDone)
{
    OpenAndForget("lesson.mp3");
    // After a fault the playback group is off: no Repeat, no Pause.
    dlg->EnablePlaybackControls(false);
    ASSERT_TRUE(Announced("CanGoPrevious", false));
    EXPECT_EQ(client->LastAnnounced("CanPause"), false);
    EXPECT_EQ(Value(kPlayer, "CanPlay"), true) << "the top Play stays usable";
    Call("Previous");
    Call("Pause");
    QTest::qWait(50);
    EXPECT_TRUE(player->Commands().empty());
    EXPECT_FALSE(dlg->IsTimerRunning(RepeatTimer));

    dlg->EnablePlaybackControls(true);
    ASSERT_TRUE(Announced("CanGoPrevious", true));
}

// Asked right after Play or a seek, a real player at a busy sound server now
// and then stalls: the state and the length are known without asking.
TEST_F(MprisTest, ThePlayerIsAskedWhereItIsOnlyWhenTheDesktopAsks)
{
    player->length = 60;
    OpenAndForget("lesson.mp3");
    profiler->Speak({{1, 3}, {4, 6.5}}, 8);
    player->statusReads = 0;
    Call("PlayPause");
    ASSERT_TRUE(Announced("PlaybackStatus", "Paused"));
    Call("Next");
    ASSERT_TRUE(Announced("PlaybackStatus", "Playing"));
    ASSERT_TRUE(Eventually([&] { return client->seeks.size() == 1; }));
    EXPECT_EQ(Metadata()["mpris:length"].value, qlonglong(60'000'000));
    EXPECT_EQ(player->statusReads, 0);

    player->position = 9.5;
    EXPECT_EQ(Value(kPlayer, "Position"), qlonglong(9'500'000));
    EXPECT_EQ(player->statusReads, 1);
}

TEST_F(MprisTest, PlaybackThatEndsByItselfIsAnnounced)
{
    OpenAndForget("lesson.mp3");
    player->playing = false;
    player->stopped = true; // the end of the media
    EXPECT_TRUE(Announced("PlaybackStatus", "Stopped"));
}

TEST_F(MprisTest, ARateInRangeChoosesTheNearestSpeedZeroPausesOthersAreIgnored)
{
    OpenAndForget("lesson.mp3");
    EXPECT_EQ(client->Set(kPlayer, "Rate", 2.0), QString());
    EXPECT_EQ(client->Set(kPlayer, "Rate", 0.0), QString());
    ASSERT_TRUE(Eventually([&] { return CommandsAre({"Pause"}); }));
    EXPECT_EQ(Value(kPlayer, "Rate"), 1.0);

    EXPECT_EQ(client->Set(kPlayer, "Rate", 0.74), QString());
    EXPECT_TRUE(Announced("Rate", 0.75));
    EXPECT_DOUBLE_EQ(dlg->Speed().Speed(), 0.75);
    EXPECT_EQ(player->speed, 0.75);
    // A speed chosen in the window is announced too.
    dlg->Speed().Faster();
    EXPECT_TRUE(Announced("Rate", 0.8));
    EXPECT_EQ(Value(kPlayer, "Rate"), 0.8);
}

// Another copy of the program already has the name, or there is no bus.
TEST_F(MprisTest, WithoutTheBusOrItsNameTheWindowWorksOnWithOneWarning)
{
    static std::vector<std::string> warnings;
    warnings.clear();
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context,
                                                          const QString& message) {
        if (type == QtWarningMsg && QLatin1String(context.category) == QLatin1String("ardeno.mpris"))
            warnings.push_back(message.toStdString());
    });
    {
        std::unique_ptr<MprisService> second = dlg->OfferOnBus(bus.Connect("second copy"));
        EXPECT_FALSE(second->IsRegistered());
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_NE(warnings[0].find("org.mpris.MediaPlayer2.ArdenoRecorder is taken"), std::string::npos)
            << warnings[0];
    }
    {
        QDBusConnection nowhere = QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "nowhere");
        std::unique_ptr<MprisService> alone = dlg->OfferOnBus(nowhere);
        EXPECT_FALSE(alone->IsRegistered());
        QDBusConnection::disconnectFromBus("nowhere");
    }
    qInstallMessageHandler(previous);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[1].rfind("No session bus", 0), 0u) << warnings[1];

    // The first copy keeps its name, and the window works on.
    EXPECT_EQ(Value(kRoot, "Identity"), "Ardeno Audio Recorder");
    Click(ControlId::TopStop);
    EXPECT_EQ(player->Commands(), Strings{"Stop"});
}

} // namespace
