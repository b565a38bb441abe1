#pragma once

#include "window/WindowEnvironment.h"

#include <string>

// The settings file for an executable at `executablePath`: the same path with
// ".ini" in place of its extension, or appended when it has none.
std::string SettingsPathBeside(const std::string& executablePath);

// Where this installation keeps its settings and its user guide, and the name
// its boxes carry.
WindowEnvironment DetectEnvironment();
