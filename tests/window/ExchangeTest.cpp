// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/WindowTest.h"

#include <QLineEdit>

TEST_F(WindowTest, ExchangeTowardsTheControlsFormatsTimes)
{
    Start();
    dlg->Segment().SetSegment(4.5, -0.3);
    EXPECT_EQ(Text(ControlId::StartTime), "4.5");
    EXPECT_EQ(Text(ControlId::EndTime), "-0.3");
    dlg->Segment().SetSegment(1.0 / 3, 12.5e6);
    EXPECT_EQ(Text(ControlId::StartTime), "0.333333333333333");
    EXPECT_EQ(Text(ControlId::EndTime), "12500000");
    prompts.saveAnswers.push_back("/tmp/talk");
    Click(ControlId::SaveAs);
    EXPECT_EQ(Text(ControlId::OutputFile), "/tmp/talk.mp3");
}

TEST_F(WindowTest, ExchangeFromTheControlsReadsLeadingNumbers)
{
    Start();
    Edit(ControlId::StartTime)->setText("  12.5 s");
    Edit(ControlId::EndTime)->setText("13");
    Edit(ControlId::TimeStep)->setText("1");
    ASSERT_TRUE(dlg->UpdateData(true));
    EXPECT_EQ(dlg->Segment().Step(), 1.0);
    // What was read is what the boxes show after the next exchange.
    dlg->UpdateData(false);
    EXPECT_EQ(Text(ControlId::StartTime), "12.5");
    EXPECT_EQ(Text(ControlId::EndTime), "13");
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(WindowTest, FailingExchangeWarnsAndKeepsTheValuesNotYetRead)
{
    Start();
    Edit(ControlId::StartTime)->setText("7");
    Edit(ControlId::EndTime)->setText("abc");
    Edit(ControlId::TimeStep)->setText("3");

    EXPECT_FALSE(dlg->UpdateData(true));

    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text, "Please enter a number.");
    EXPECT_EQ(prompts.boxes[0].caption, environment.appName);
    EXPECT_EQ(prompts.boxes[0].icon, BoxIcon::Exclamation);
    EXPECT_EQ(dlg->Segment().Step(), 0.5); // after the bad box: untouched
    EXPECT_EQ(Edit(ControlId::EndTime)->selectedText(), QString("abc"));
    // Read before the bad box: the start box's 7 is taken, the end keeps its 0.
    dlg->UpdateData(false);
    EXPECT_EQ(Text(ControlId::StartTime), "7");
    EXPECT_EQ(Text(ControlId::EndTime), "0");
}

TEST_F(WindowTest, EmptyBoxFailsTheExchange)
{
    Start();
    Edit(ControlId::LeadIn)->setText("");
    EXPECT_FALSE(dlg->UpdateData(true));
    EXPECT_EQ(prompts.BoxTexts(), std::vector<std::string>{"Please enter a number."});
}
