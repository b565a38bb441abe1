#pragma once

#include "window/WindowEnvironment.h"

#include <string>

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

// The settings file: beside the executable, or, when its folder cannot be
// written and holds no settings file (an installed program), the user's own
// $XDG_CONFIG_HOME/ardeno-recorder/ardeno-recorder.ini (~/.config by default).
std::string SettingsPathFor(const std::string& executablePath, const SettingsPlace& place);

// Where this installation keeps its settings and its user guide, and the name
// its boxes carry.
WindowEnvironment DetectEnvironment();
