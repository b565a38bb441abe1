#include "window/DialogBuilder.h"
#include "window/WindowFixture.h"

#include <QAbstractButton>
#include <QApplication>

TEST_F(WindowTest, EveryControlLiesInsideTheFixedClientArea)
{
    Start();
    QRect client(QPoint(0, 0), dlg->size());
    EXPECT_EQ(dlg->minimumSize(), dlg->maximumSize());
    for (const ControlTemplate& c : MainDialogTemplate().controls) {
        if (c.id == kNoId)
            continue;
        QWidget* control = dlg->Control(c.id);
        ASSERT_NE(control, nullptr) << c.id;
        EXPECT_TRUE(client.contains(control->geometry())) << c.id;
    }
}

TEST_F(WindowTest, ControlsSitAtTheirTemplateRectanglesInPixels)
{
    Start();
    BaseUnits base = BaseUnitsOf(TemplateFont(MainDialogTemplate()));
    auto expected = [&](int x, int y, int w, int h) { return DialogUnitsToPixels(QRect(x, y, w, h), base); };
    EXPECT_EQ(dlg->Control(1000)->geometry(), expected(0, 0, 267, 227));
    EXPECT_EQ(dlg->Control(1009)->geometry(), expected(281, 46, 48, 14));
    EXPECT_EQ(dlg->Control(1022)->geometry(), expected(438, 195, 10, 15));
    EXPECT_EQ(dlg->Control(1036)->geometry(), expected(108, 226, 50, 16));
    EXPECT_EQ(dlg->size(), expected(0, 0, 457, 243).size());
}

TEST_F(WindowTest, CaptionsAndTabOrderFollowTheTemplate)
{
    Start();
    EXPECT_EQ(Button(1024)->text(), QString("End  Repeat Time"));
    EXPECT_EQ(Button(1032)->text(), QString("Save..."));
    // Tab order runs through the focusable controls in template order.
    EXPECT_EQ(dlg->Control(1002)->nextInFocusChain(), dlg->Control(1003));
    EXPECT_EQ(dlg->Control(1010)->nextInFocusChain(), dlg->Control(1011));
    EXPECT_EQ(dlg->Control(1035)->nextInFocusChain(), dlg->Control(1038));
}

TEST_F(WindowTest, FocusStartsInTheStartTimeBox)
{
    Start();
    dlg->activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(dlg->focusWidget(), dlg->Control(1002));
}
