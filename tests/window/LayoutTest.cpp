// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/DialogBuilder.h"
#include "support/WindowTest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>

TEST_F(WindowTest, EveryControlLiesInsideTheFixedClientArea)
{
    Start();
    QRect client(QPoint(0, 0), dlg->size());
    EXPECT_EQ(dlg->minimumSize(), dlg->maximumSize());
    for (const ControlTemplate& c : MainDialogTemplate().controls) {
        if (c.id == ControlId::None)
            continue;
        QWidget* control = Control(c.id);
        ASSERT_NE(control, nullptr) << c.id;
        EXPECT_TRUE(client.contains(control->geometry())) << c.id;
    }
}

namespace {

QGroupBox* Panel(const CRecorderDlg& dlg, const char* title)
{
    for (QGroupBox* box : dlg.findChildren<QGroupBox*>()) {
        if (box->title() == QString::fromUtf8(title))
            return box;
    }
    return nullptr;
}

} // namespace

// What a user sees: the player fills the left part of the window, each panel
// frames its own controls, no two visible controls cover each other (About
// and Exit sit on the player's bottom edge), and every button's caption fits
// on it.
TEST_F(WindowTest, PanelsFrameTheirControlsAndNothingOverlaps)
{
    Start();
    QRect player = Control(ControlId::Player)->geometry();
    EXPECT_EQ(player.topLeft(), QPoint(0, 0));
    EXPECT_NEAR(double(player.width()) / dlg->width(), 267.0 / 457, 0.02);
    EXPECT_NEAR(double(player.height()) / dlg->height(), 227.0 / 243, 0.02);

    const std::pair<const char*, std::vector<ControlId>> panels[] = {
        {"Play All Media Types", {ControlId::MediaPath, ControlId::Open, ControlId::TopPlay, ControlId::TopStop}},
        {"Record Sound To Mp3",
         {ControlId::RecTime, ControlId::FileSize, ControlId::OutputFile, ControlId::SaveAs, ControlId::Record,
          ControlId::PauseRecording, ControlId::StopRecording}},
        {"Repeat Read Very Easy",
         {ControlId::MarkStart, ControlId::MarkEnd, ControlId::StartEarlier, ControlId::StartTime,
          ControlId::StartLater, ControlId::EndEarlier, ControlId::EndTime, ControlId::EndLater, ControlId::Play,
          ControlId::Repeat, ControlId::Pause}},
    };
    for (const auto& [title, members] : panels) {
        QGroupBox* panel = Panel(*dlg, title);
        ASSERT_NE(panel, nullptr) << title;
        EXPECT_FALSE(panel->geometry().intersects(player)) << title;
        for (ControlId id : members)
            EXPECT_TRUE(panel->geometry().contains(Control(id)->geometry())) << title << " " << id;
    }

    std::vector<QWidget*> shown;
    for (const ControlTemplate& c : MainDialogTemplate().controls) {
        if (c.id != ControlId::None && c.id != ControlId::Player && Control(c.id)->isVisible())
            shown.push_back(Control(c.id));
    }
    for (std::size_t a = 0; a < shown.size(); ++a) {
        for (std::size_t b = a + 1; b < shown.size(); ++b)
            EXPECT_FALSE(shown[a]->geometry().intersects(shown[b]->geometry()))
                << shown[a]->property("controlId").toInt() << " covers " << shown[b]->property("controlId").toInt();
        if (auto* button = qobject_cast<QAbstractButton*>(shown[a])) {
            EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), button->width())
                << button->text().toStdString();
        }
    }
}

TEST_F(WindowTest, CaptionsAndTabOrderFollowTheTemplate)
{
    Start();
    EXPECT_EQ(Button(ControlId::MarkEnd)->text(), QString("End  Repeat Time"));
    EXPECT_EQ(Button(ControlId::SaveAs)->text(), QString("Save..."));
    // Tab order runs through the focusable controls in template order.
    EXPECT_EQ(dlg->Control(ControlId::StartTime)->nextInFocusChain(), dlg->Control(ControlId::EndTime));
    EXPECT_EQ(dlg->Control(ControlId::Play)->nextInFocusChain(), dlg->Control(ControlId::Pause));
    EXPECT_EQ(dlg->Control(ControlId::StopRecording)->nextInFocusChain(), dlg->Control(ControlId::TopStop));
}

TEST_F(WindowTest, FocusStartsInTheStartTimeBox)
{
    Start();
    dlg->activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(dlg->focusWidget(), dlg->Control(ControlId::StartTime));
}
