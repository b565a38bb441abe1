#include "app/AppEnvironment.h"

#include <gtest/gtest.h>

TEST(AppEnvironment, SettingsFileReplacesOrAddsTheExtension)
{
    EXPECT_EQ(SettingsPathBeside("/opt/rec/build/ardeno-recorder"), "/opt/rec/build/ardeno-recorder.ini");
    EXPECT_EQ(SettingsPathBeside("/tools/Rec.exe"), "/tools/Rec.ini");
    EXPECT_EQ(SettingsPathBeside("/my.dir/recorder"), "/my.dir/recorder.ini");
    EXPECT_EQ(SettingsPathBeside("/bin/.hidden"), "/bin/.hidden.ini");
}
