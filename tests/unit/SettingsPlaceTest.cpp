#include "window/settings/SettingsPlace.h"

#include <gtest/gtest.h>

TEST(SettingsPlace, SettingsFileReplacesOrAddsTheExtension)
{
    EXPECT_EQ(SettingsPathBeside("/opt/rec/build/ardeno-recorder"), "/opt/rec/build/ardeno-recorder.ini");
    EXPECT_EQ(SettingsPathBeside("/tools/Rec.exe"), "/tools/Rec.ini");
    EXPECT_EQ(SettingsPathBeside("/my.dir/recorder"), "/my.dir/recorder.ini");
    EXPECT_EQ(SettingsPathBeside("/bin/.hidden"), "/bin/.hidden.ini");
}

TEST(SettingsPlace, SettingsStayBesideAWritableOrAlreadyUsedFolder)
{
    SettingsPlace writable{true, false, "/cfg", "/home/u"};
    EXPECT_EQ(SettingsPathFor("/opt/rec/ardeno-recorder", writable), "/opt/rec/ardeno-recorder.ini");
    // An existing file beside a read-only executable keeps being used.
    SettingsPlace kept{false, true, "/cfg", "/home/u"};
    EXPECT_EQ(SettingsPathFor("/usr/bin/ardeno-recorder", kept), "/usr/bin/ardeno-recorder.ini");
}

TEST(SettingsPlace, InstalledProgramKeepsSettingsPerUser)
{
    EXPECT_EQ(SettingsPathFor("/usr/bin/ardeno-recorder", {false, false, "/home/u/.cfg", "/home/u"}),
              "/home/u/.cfg/ardeno-recorder/ardeno-recorder.ini");
    EXPECT_EQ(SettingsPathFor("/usr/bin/ardeno-recorder", {false, false, "", "/home/u"}),
              "/home/u/.config/ardeno-recorder/ardeno-recorder.ini");
    // A relative XDG_CONFIG_HOME is not valid and counts as unset.
    EXPECT_EQ(SettingsPathFor("/usr/bin/ardeno-recorder", {false, false, "cfg", "/home/u"}),
              "/home/u/.config/ardeno-recorder/ardeno-recorder.ini");
}
