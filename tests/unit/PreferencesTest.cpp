// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileBytes.h"
#include "window/preferences/Preferences.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class PreferencesTest : public testing::Test {
protected:
    QTemporaryDir dir;
    std::string path = dir.filePath("config/preferences.ini").toStdString();
};

TEST_F(PreferencesTest, AValueLastsIntoTheNextRun)
{
    {
        Preferences preferences(path);
        EXPECT_EQ(preferences.Value("speed", 100).toInt(), 100);
        preferences.SetValue("speed", 75);
    }
    Preferences next(path);
    EXPECT_EQ(next.Value("speed", 100).toInt(), 75);
}

TEST_F(PreferencesTest, ADamagedFileGivesTheDefaultsAndIsReplacedByTheNextChange)
{
    Preferences(path).SetValue("speed", 75);
    WriteFileBytes(path, std::string("[General]\nspeed=\"75\n\x01\x02\xff[[[", 22));
    Preferences damaged(path);
    EXPECT_EQ(damaged.Value("speed", 100).toInt(), 100);
    damaged.SetValue("snap", true);
    Preferences next(path);
    EXPECT_TRUE(next.Value("snap", false).toBool());
    EXPECT_EQ(next.Value("speed", 100).toInt(), 100);
}

} // namespace
