#include "window/WindowFixture.h"

#include <QLineEdit>

TEST_F(WindowTest, FirstStartShowsTheDefaults)
{
    Start();
    EXPECT_EQ(BoxText(1001), "D:\\AllMediaFile.mp3");
    EXPECT_EQ(BoxText(1002), "0");
    EXPECT_EQ(BoxText(1003), "0");
    EXPECT_EQ(BoxText(1004), "0.5");
    EXPECT_EQ(BoxText(1005), "0.5");
    EXPECT_EQ(BoxText(1006), "0.33");
    EXPECT_EQ(dlg->m_timeStep, 0.5);
    EXPECT_EQ(dlg->m_pointStep, 0.5);
    EXPECT_EQ(dlg->m_leadIn, 0.33);
    EXPECT_EQ(dlg->LastPointIndex(), -1);
    EXPECT_FALSE(dlg->m_pointsModified);
    EXPECT_EQ(dlg->m_pointFilePath, "D:\\AllMediaFile1.txt");

    for (int id : {1008, 1010, 1011, 1012, 1013, 1014, 1015, 1016, 1017, 1018})
        EXPECT_FALSE(dlg->Control(id)->isEnabled()) << id;
    for (int id : {1009, 1026, 1038, 1019, 1020, 1021, 1022, 1023, 1024, 1032, 1033, 1034, 1035, 1028, 1036})
        EXPECT_TRUE(dlg->Control(id)->isEnabled()) << id;

    // The player is given no file, and the home page is asked for once.
    EXPECT_TRUE(player->Commands().empty());
    ASSERT_EQ(prompts.urls.size(), 1u);
    EXPECT_EQ(prompts.urls[0], environment.homePageUrl);
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(WindowTest, StartsWithNoTimerAndEmptyRecordingLabels)
{
    Start();
    for (int id : {RecordTimer, RepeatTimer, PointTimer})
        EXPECT_FALSE(dlg->IsTimerRunning(id)) << id;
    EXPECT_TRUE(dlg->Control(1029)->property("text").toString().isEmpty());
    EXPECT_TRUE(dlg->Control(1030)->property("text").toString().isEmpty());
}

TEST_F(WindowTest, HiddenControlsExistButAreNotShown)
{
    Start();
    for (int id : {1004, 1005, 1006, 1007, 1008, 1013, 1014, 1015, 1016, 1017, 1018, 1025}) {
        ASSERT_NE(dlg->Control(id), nullptr) << id;
        EXPECT_FALSE(dlg->Control(id)->isVisible()) << id;
    }
    for (int id : {1000, 1001, 1002, 1003, 1009, 1010, 1026, 1038, 1036, 1028})
        EXPECT_TRUE(dlg->Control(id)->isVisible()) << id;
    EXPECT_EQ(dlg->windowTitle(), QString("Ardeno Audio Recorder"));
}
