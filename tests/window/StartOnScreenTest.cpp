// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileBytes.h"
#include "support/WindowTest.h"

#include <QEvent>
#include <QLineEdit>
#include <QTimer>
#include <optional>

// A window started with DoModal comes on screen before it loads the media its
// settings name (loading can take a few hundred ms), and loads it before the
// user can give a command.

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
    // calls (at most 5 s), then ends it as Exit does.
    void RunUntilCommands(std::size_t commands)
    {
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, dlg.get(), [&] {
            if (player->Commands().size() >= commands)
                dlg->done(0);
        });
        check.start(10);
        QTimer::singleShot(5000, dlg.get(), [this] { dlg->done(0); });
        dlg->DoModal();
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
