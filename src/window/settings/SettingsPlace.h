#pragma once

#include <string>

// Where the settings file lives.

// The settings file for an executable at `executablePath`: the same path with
// ".ini" in place of its extension, or appended when it has none.
std::string SettingsPathBeside(const std::string& executablePath);

// What decides where the settings file lives, as found on the system.
struct SettingsPlace {
    bool executableFolderWritable = true;
    bool settingsFileBesideExists = false;
    std::string xdgConfigHome; // $XDG_CONFIG_HOME, empty when unset
    std::string home;          // the user's home folder
};

// The program's folder in the user's configuration: $XDG_CONFIG_HOME/ardeno-recorder
// (~/.config by default; a relative $XDG_CONFIG_HOME is invalid and ignored).
std::string UserConfigFolder(const SettingsPlace& place);

// The settings file: beside the executable, or, when its folder cannot be
// written and holds no settings file (an installed program), the user's own
// ardeno-recorder.ini in UserConfigFolder.
std::string SettingsPathFor(const std::string& executablePath, const SettingsPlace& place);

// The facts SettingsPathFor decides on, read from the system.
SettingsPlace FindSettingsPlace(const std::string& executablePath);
