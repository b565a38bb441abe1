// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// What the window needs to know about the installation it runs in.
struct WindowEnvironment {
    // Caption of the boxes that name no caption of their own: the executable's
    // file name without its extension.
    std::string appName;
    // The settings file read at start-up and written on Close.
    std::string settingsPath;
    // Read at start-up instead while settingsPath does not exist yet; empty
    // for none.
    std::string initialSettingsPath;
    // The user's preferences beyond the settings file.
    std::string preferencesPath;
    // Where transcripts the program makes are kept when the media's folder
    // takes no new file.
    std::string transcriptFolder;
    // The user guide page opened at start-up.
    std::string homePageUrl;
    // A media file named on the command line ("Open with" of a file manager):
    // opened and played as Open would once the window is shown, in place of
    // the settings' last media. Empty for none.
    std::string fileToOpen;
};
