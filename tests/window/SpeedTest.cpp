// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/WindowTest.h"
#include "window/commands/WindowCommands.h"
#include "window/speed/PlaybackSpeed.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QTest>

// The playback speed in the window, with the fake player: its submenu, the
// mark in the player area, the preferences, and how often the player is told.

namespace {

using Strings = std::vector<std::string>;

class SpeedTest : public WindowTest {
protected:
    void SetUp() override { Start(); }

    QMenu* SpeedMenu() const
    {
        for (QAction* action : dlg->SystemMenu()->actions()) {
            if (action->menu() && action->text() == "Speed")
                return action->menu();
        }
        return nullptr;
    }
    // The menu's entries (their keys after a tab), and the checked ones.
    Strings Entries(bool checkedOnly = false) const
    {
        Strings texts;
        for (QAction* action : SpeedMenu()->actions()) {
            if (!action->isSeparator() && (!checkedOnly || action->isChecked()))
                texts.push_back(action->text().toStdString());
        }
        return texts;
    }
    void Choose(const std::string& text) const
    {
        for (QAction* action : SpeedMenu()->actions()) {
            if (action->text().toStdString() == text)
                action->trigger();
        }
    }
    QLabel* Mark() const { return dlg->Player().findChild<QLabel*>("speedMark"); }
    Strings SpeedCalls() const
    {
        Strings calls;
        for (const std::string& call : player->calls) {
            if (call.rfind(FakePlayer::kSetSpeed, 0) == 0)
                calls.push_back(call);
        }
        return calls;
    }
};

} // namespace

TEST_F(SpeedTest, TheSpeedSubmenuOffersTheTenSpeedsWithTheCurrentOneChecked)
{
    ASSERT_NE(SpeedMenu(), nullptr);
    EXPECT_EQ(Entries(), (Strings{"Slower\t[", "Faster\t]", "50%", "60%", "70%", "75%", "80%", "90%",
                                  "100%\tBackspace", "110%", "125%", "150%"}));
    EXPECT_EQ(Entries(true), Strings{"100%\tBackspace"});

    Choose("75%");
    EXPECT_EQ(Entries(true), Strings{"75%"});
    EXPECT_DOUBLE_EQ(dlg->Speed().Speed(), 0.75);
    EXPECT_EQ(SpeedCalls(), Strings{"SetSpeed(0.750000)"});
    // Choosing the checked one again keeps it.
    Choose("75%");
    EXPECT_EQ(Entries(true), Strings{"75%"});
    Choose("Faster\t]");
    EXPECT_EQ(Entries(true), Strings{"80%"});
}

TEST_F(SpeedTest, TheSpeedIsRememberedForTheNextStartAndHoldsForEveryFile)
{
    dlg->Speed().SetSpeed(0.6);
    Start();
    EXPECT_DOUBLE_EQ(dlg->Speed().Speed(), 0.6);
    EXPECT_EQ(Entries(true), Strings{"60%"});
    EXPECT_EQ(SpeedCalls(), Strings{"SetSpeed(0.600000)"}) << "the player is told before anything plays";
    OpenMedia("lesson.mp3");
    Click(ControlId::Repeat);
    EXPECT_EQ(SpeedCalls(), Strings{"SetSpeed(0.600000)"}) << "the player keeps it for each file";
    EXPECT_EQ(player->speed, 0.6);

    // Back at the media's own speed, the next start tells the player nothing.
    dlg->Speed().Normal();
    Start();
    EXPECT_TRUE(SpeedCalls().empty());
}

TEST_F(SpeedTest, ARememberedSpeedThatIsNotOfferedIsTheMediasOwn)
{
    dlg->Speed().SetSpeed(0.6);
    dlg.reset();
    QSettings edited(QString::fromStdString(environment.preferencesPath), QSettings::IniFormat);
    edited.setValue("Playback/SpeedPercent", 55);
    edited.sync();
    Start();
    EXPECT_DOUBLE_EQ(dlg->Speed().Speed(), 1.0);
    EXPECT_TRUE(SpeedCalls().empty());
}

TEST_F(SpeedTest, ThePlayerAreaShowsTheSpeedInItsCornerWhileItIsNotTheMediasOwn)
{
    QLabel* mark = Mark();
    ASSERT_NE(mark, nullptr);
    EXPECT_FALSE(mark->isVisible());
    dlg->Speed().SetSpeed(1.25);
    EXPECT_TRUE(mark->isVisible());
    EXPECT_EQ(mark->text(), "125%");
    const QRect area = dlg->Player().rect();
    EXPECT_TRUE(area.contains(mark->geometry()));
    EXPECT_LT(mark->geometry().top(), area.height() / 4);
    EXPECT_GT(mark->geometry().left(), area.width() / 2);
    // Over whatever the player area shows (the waveform): the last of its
    // widgets is drawn on top.
    QObjectList children = dlg->Player().children();
    auto topmost = std::find_if(children.rbegin(), children.rend(), [](QObject* child) { return child->isWidgetType(); });
    ASSERT_NE(topmost, children.rend());
    EXPECT_EQ(*topmost, mark);
    // Once the player is back at the media's own speed (changes follow each
    // other at most four times a second).
    dlg->Speed().Normal();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !mark->isVisible(); }, 1000));
}

TEST_F(SpeedTest, ChangesInQuickSuccessionReachThePlayerAtMostFourTimesASecond)
{
    dlg->Speed().Faster();
    dlg->Speed().Faster();
    dlg->Speed().Faster();
    EXPECT_EQ(SpeedCalls(), Strings{"SetSpeed(1.100000)"});
    EXPECT_EQ(Mark()->text(), "110%") << "the mark shows what the player plays at";
    ASSERT_TRUE(QTest::qWaitFor([&] { return SpeedCalls().size() == 2; }, 1000));
    EXPECT_EQ(SpeedCalls().back(), "SetSpeed(1.500000)") << "the last choice wins";
    EXPECT_EQ(Mark()->text(), "150%");
    QTest::qWait(300);
    EXPECT_EQ(SpeedCalls().size(), 2u);
}

TEST_F(SpeedTest, APlayerThatFailsToChangeSpeedIsReportedAndTheWindowStaysOpen)
{
    player->failOn.insert(FakePlayer::kSetSpeed);
    dlg->Commands().CommandFor(Qt::Key_BracketLeft)->trigger();
    EXPECT_EQ(prompts.BoxTexts(), Strings{"SetSpeed failed"});
    EXPECT_TRUE(dlg->isVisible());
}
