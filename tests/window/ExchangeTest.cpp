#include "window/WindowFixture.h"

#include <QLineEdit>

TEST_F(WindowTest, ExchangeTowardsTheControlsFormatsTimes)
{
    Start();
    dlg->m_startTimeShown = 4.5;
    dlg->m_endTimeShown = -0.3;
    dlg->m_saveFileName = "/tmp/talk.mp3";
    dlg->UpdateData(false);
    EXPECT_EQ(BoxText(1002), "4.5");
    EXPECT_EQ(BoxText(1003), "-0.3");
    EXPECT_EQ(BoxText(1031), "/tmp/talk.mp3");
}

TEST_F(WindowTest, ExchangeFromTheControlsReadsLeadingNumbers)
{
    Start();
    Edit(1002)->setText("  12.5 s");
    Edit(1003)->setText("13");
    Edit(1004)->setText("1");
    ASSERT_TRUE(dlg->UpdateData(true));
    EXPECT_EQ(dlg->m_startTimeShown, 12.5);
    EXPECT_EQ(dlg->m_endTimeShown, 13.0);
    EXPECT_EQ(dlg->m_timeStep, 1.0);
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(WindowTest, FailingExchangeWarnsAndKeepsTheValuesNotYetRead)
{
    Start();
    Edit(1002)->setText("7");
    Edit(1003)->setText("abc");
    Edit(1004)->setText("3");
    dlg->m_timeStep = 0.5;

    EXPECT_FALSE(dlg->UpdateData(true));

    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text, "Please enter a number.");
    EXPECT_EQ(prompts.boxes[0].caption, environment.appName);
    EXPECT_EQ(prompts.boxes[0].icon, BoxIcon::Exclamation);
    EXPECT_EQ(dlg->m_startTimeShown, 7.0);  // read before the bad box
    EXPECT_EQ(dlg->m_timeStep, 0.5);        // after it: untouched
    EXPECT_EQ(Edit(1003)->selectedText(), QString("abc"));
}

TEST_F(WindowTest, EmptyBoxFailsTheExchange)
{
    Start();
    Edit(1006)->setText("");
    EXPECT_FALSE(dlg->UpdateData(true));
    EXPECT_EQ(prompts.BoxTexts(), std::vector<std::string>{"Please enter a number."});
}
