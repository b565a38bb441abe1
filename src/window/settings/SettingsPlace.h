// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Where the settings file lives.

// The settings file for an executable at `executablePath`: the same path with
// ".ini" in place of its extension, or appended when it has none.
std::string SettingsPathBeside(const std::string& executablePath);

// What decides where the settings file lives, as found on the system.
struct SettingsPlace {
    bool executableFolderWritable = true;
    // Under /usr or /opt: the system's, not the user's, whatever the rights.
    bool executableInSystemFolder = false;
    bool settingsFileBesideExists = false;
    std::string xdgConfigHome; // $XDG_CONFIG_HOME, empty when unset
    std::string home;          // the user's home folder
};

// The program's folder in the user's configuration: $XDG_CONFIG_HOME/ardeno-recorder
// (~/.config by default; a relative $XDG_CONFIG_HOME is invalid and ignored).
std::string UserConfigFolder(const SettingsPlace& place);

// The program's folder in the user's cache, for what it can make again (sound
// profiles): `xdgCacheHome`/ardeno-recorder, given $XDG_CACHE_HOME (~/.cache by
// default; a relative $XDG_CACHE_HOME is invalid and ignored).
std::string UserCacheFolder(const std::string& xdgCacheHome, const std::string& home);

// The settings file that is read and written, and the one whose values start
// a user who has none yet (empty when there is none).
struct SettingsFiles {
    std::string path;
    std::string initialPath;
};

// Beside the executable when its folder is the user's to write; otherwise (an
// installed program) the user's own ardeno-recorder.ini in UserConfigFolder,
// which a settings file beside the executable only starts.
SettingsFiles SettingsFilesFor(const std::string& executablePath, const SettingsPlace& place);

// The facts SettingsFilesFor decides on, read from the system.
SettingsPlace FindSettingsPlace(const std::string& executablePath);
