// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

// The settings file: six lines, five times and the media path, no keys.

// The longest piece one of the five times is read in; the rest of a longer
// line goes to the next value.
constexpr std::size_t kSettingsPieceLength = 79;

struct SavedSettings {
    double startTime = 0;
    double endTime = 0;
    double timeStep = 0;
    double pointStep = 0;
    double leadIn = 0;
    std::string mediaPath;
};

struct SettingsReading {
    // Nothing when the file could not be opened or ends before its sixth line.
    std::optional<SavedSettings> settings;
    // The system's reason when reading the opened file failed.
    std::string readError;
};

SettingsReading ReadSettingsFile(const std::string& path);

// The file's text: the five times as "%f" lines in the C locale, then the
// media path with no line end.
std::string SettingsFileText(const SavedSettings& settings);
