// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/settings/SettingsPlace.h"

#include <gtest/gtest.h>

TEST(SettingsPlace, SettingsFileReplacesOrAddsTheExtension)
{
    EXPECT_EQ(SettingsPathBeside("/opt/rec/build/ardeno-recorder"), "/opt/rec/build/ardeno-recorder.ini");
    EXPECT_EQ(SettingsPathBeside("/tools/Rec.exe"), "/tools/Rec.ini");
    EXPECT_EQ(SettingsPathBeside("/my.dir/recorder"), "/my.dir/recorder.ini");
    EXPECT_EQ(SettingsPathBeside("/bin/.hidden"), "/bin/.hidden.ini");
}

TEST(SettingsPlace, SettingsStayBesideAnExecutableInAFolderOfTheUsers)
{
    SettingsFiles files = SettingsFilesFor("/home/u/rec/ardeno-recorder", {true, false, true, "/cfg", "/home/u"});
    EXPECT_EQ(files.path, "/home/u/rec/ardeno-recorder.ini");
    EXPECT_EQ(files.initialPath, "");
}

TEST(SettingsPlace, InstalledProgramKeepsSettingsPerUser)
{
    const std::string program = "/usr/bin/ardeno-recorder";
    EXPECT_EQ(SettingsFilesFor(program, {false, true, false, "/home/u/.cfg", "/home/u"}).path,
              "/home/u/.cfg/ardeno-recorder/ardeno-recorder.ini");
    EXPECT_EQ(SettingsFilesFor(program, {false, true, false, "", "/home/u"}).path,
              "/home/u/.config/ardeno-recorder/ardeno-recorder.ini");
    // A relative XDG_CONFIG_HOME is not valid and counts as unset.
    EXPECT_EQ(SettingsFilesFor(program, {false, true, false, "cfg", "/home/u"}).path,
              "/home/u/.config/ardeno-recorder/ardeno-recorder.ini");
    // A folder the user cannot write, outside the system's folders.
    EXPECT_EQ(SettingsFilesFor("/srv/rec/ardeno-recorder", {false, false, false, "", "/home/u"}).path,
              "/home/u/.config/ardeno-recorder/ardeno-recorder.ini");
}

// A settings file left beside an installed program (by a run as root, which
// may write /usr/bin) is never written again: it only starts users who have
// no settings yet, root included.
TEST(SettingsPlace, ASettingsFileBesideAnInstalledProgramOnlyStartsNewUsers)
{
    for (bool writable : {false, true}) {
        SettingsFiles files = SettingsFilesFor("/usr/bin/ardeno-recorder", {writable, true, true, "", "/root"});
        EXPECT_EQ(files.path, "/root/.config/ardeno-recorder/ardeno-recorder.ini") << writable;
        EXPECT_EQ(files.initialPath, "/usr/bin/ardeno-recorder.ini") << writable;
    }
    SettingsFiles files = SettingsFilesFor("/srv/rec/ardeno-recorder", {false, false, true, "", "/home/u"});
    EXPECT_EQ(files.path, "/home/u/.config/ardeno-recorder/ardeno-recorder.ini");
    EXPECT_EQ(files.initialPath, "/srv/rec/ardeno-recorder.ini");
}

TEST(SettingsPlace, ProfilesAreKeptInTheUsersCacheFolder)
{
    EXPECT_EQ(UserCacheFolder("/home/u/.cache-elsewhere", "/home/u"), "/home/u/.cache-elsewhere/ardeno-recorder");
    EXPECT_EQ(UserCacheFolder("", "/home/u"), "/home/u/.cache/ardeno-recorder");
    // A relative XDG_CACHE_HOME is not valid and counts as unset.
    EXPECT_EQ(UserCacheFolder("cache", "/home/u"), "/home/u/.cache/ardeno-recorder");
}
