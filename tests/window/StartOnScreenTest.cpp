// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileBytes.h"
#include "support/MprisClient.h"
#include "support/PrivateSessionBus.h"
#include "support/WindowTest.h"
#include "window/mpris/MprisService.h"

#include <QEvent>
#include <QLineEdit>
#include <QTimer>
#include <optional>

// A window started with DoModal comes on screen before it loads the media its
// settings name (loading can take a few hundred ms), and loads it before the
// user can give a command; so does what its owner leaves until it is shown.

namespace {

using Strings = std::vector<std::string>;

// What the window showed and had asked of the player when it was first painted.
class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(CRecorderDlg& dlg, FakePlayer& player) : m_dlg(dlg), m_player(player) { dlg.installEventFilter(this); }

    std::optional<Strings> playerCommands;
    std::string startBox;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !playerCommands) {
            playerCommands = m_player.Commands();
            startBox = qobject_cast<QLineEdit*>(m_dlg.Control(ControlId::StartTime))->text().toStdString();
        }
        return false;
    }

private:
    CRecorderDlg& m_dlg;
    FakePlayer& m_player;
};

class StartOnScreenTest : public WindowTest {
protected:
    // Runs the window modally until the player has been given `commands`
    // calls (at most 5 s), then ends it as Exit does; `whenShown` goes to
    // DoModal.
    void RunUntilCommands(std::size_t commands, std::function<void()> whenShown = {})
    {
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, dlg.get(), [&] {
            if (player->Commands().size() >= commands)
                dlg->done(0);
        });
        check.start(10);
        QTimer::singleShot(5000, dlg.get(), [this] { dlg->done(0); });
        dlg->DoModal(std::move(whenShown));
    }
};

} // namespace

TEST_F(StartOnScreenTest, WindowIsPaintedWithItsSettingsBeforeTheMediaLoads)
{
    std::string media = PathIn("lesson.mp3");
    WriteFileBytes(environment.settingsPath, "4.5\r\n9.25\r\n0.25\r\n0.75\r\n0.1\r\n" + media);
    Create();
    FirstPaintWatch watch(*dlg, *player);
    RunUntilCommands(2);

    ASSERT_TRUE(watch.playerCommands) << "the window was never painted";
    EXPECT_EQ(*watch.playerCommands, Strings{});
    EXPECT_EQ(watch.startBox, "4.5");
    EXPECT_EQ(player->Commands(), (Strings{"SetMediaFileName(" + media + ")", "Stop"}));
    EXPECT_FALSE(player->playing);
    EXPECT_TRUE(dlg->Control(ControlId::Repeat)->isEnabled());
}

TEST_F(StartOnScreenTest, MediaThatFailsToLoadAfterTheWindowIsShownIsReported)
{
    WriteFileBytes(environment.settingsPath, "4.5\r\n9.25\r\n0.25\r\n0.75\r\n0.1\r\n" + PathIn("broken.mp3"));
    Create();
    player->failOn = {FakePlayer::kLoad};
    RunUntilCommands(1);

    ASSERT_EQ(prompts.BoxTexts(), Strings{"SetMediaFileName failed"});
    EXPECT_EQ(prompts.boxes[0].icon, BoxIcon::Stop);
    EXPECT_FALSE(dlg->Control(ControlId::Repeat)->isEnabled());
    EXPECT_EQ(Text(ControlId::EndTime), "9.25");
}

TEST_F(StartOnScreenTest, TheStartUpsOwnWorkAndTheGuideWaitUntilTheWindowIsShownAndComeBeforeTheLoad)
{
    std::string media = PathIn("lesson.mp3");
    WriteFileBytes(environment.settingsPath, "4.5\r\n9.25\r\n0.25\r\n0.75\r\n0.1\r\n" + media);
    Create();
    FirstPaintWatch watch(*dlg, *player);
    std::optional<Strings> commandsWhenShown;
    bool paintedBefore = false;
    std::size_t urlsAtPaint = 0;
    RunUntilCommands(2, [&] {
        paintedBefore = watch.playerCommands.has_value();
        commandsWhenShown = player->Commands();
        urlsAtPaint = prompts.urls.size();
    });

    ASSERT_TRUE(commandsWhenShown) << "the work given to DoModal never ran";
    EXPECT_TRUE(paintedBefore);
    EXPECT_EQ(*commandsWhenShown, Strings{});
    EXPECT_EQ(urlsAtPaint, 0u);
    ASSERT_EQ(prompts.urls.size(), 1u);
    EXPECT_EQ(prompts.urls[0], environment.homePageUrl);
    EXPECT_EQ(player->Commands(), (Strings{"SetMediaFileName(" + media + ")", "Stop"}));
}

TEST_F(StartOnScreenTest, TheMediaPlayerIsOnTheSessionBusOnceTheWindowIsShown)
{
    PrivateSessionBus bus;
    ASSERT_TRUE(bus.Ready()) << bus.Problem();
    std::string media = PathIn("lesson.mp3");
    WriteFileBytes(environment.settingsPath, "4.5\r\n9.25\r\n0.25\r\n0.75\r\n0.1\r\n" + media);
    Create();
    std::unique_ptr<MprisService> service;
    MprisClient client(bus.Connect("desktop"));
    QString statusWhileRunning;
    // The desktop asks as soon as the player is on the bus; the window ends
    // once it has an answer and the last media has loaded.
    QTimer ask;
    QObject::connect(&ask, &QTimer::timeout, dlg.get(), [&] {
        if (service && statusWhileRunning.isEmpty())
            statusWhileRunning = client.Get(MprisClient::kPlayer, "PlaybackStatus").value.toString();
        if (!statusWhileRunning.isEmpty() && player->Commands().size() >= 2)
            dlg->done(0);
    });
    ask.start(5);
    QTimer::singleShot(5000, dlg.get(), [this] { dlg->done(0); });
    dlg->DoModal([&] { service = dlg->OfferOnBus(bus.Connect("program")); });

    ASSERT_TRUE(service);
    EXPECT_TRUE(service->IsRegistered());
    EXPECT_FALSE(statusWhileRunning.isEmpty()) << "the desktop never reached the player while the window ran";
    // The window went on to load its last media with the player on the bus.
    EXPECT_EQ(player->Commands(), (Strings{"SetMediaFileName(" + media + ")", "Stop"}));
}
