// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "window/pausepoints/PausePointText.h"
#include "window/settings/SettingsText.h"

#include <string>
#include <vector>

// The two versions of each file the replacing writer alternates between:
// large enough that a write takes a while, different all through.

inline std::string PointFileVersion(bool second)
{
    std::vector<double> points;
    for (int i = 0; i < 20000; ++i)
        points.push_back(second ? i * 0.25 : i * 0.5 + 7);
    return PausePointFileText(points);
}

inline std::string SettingsFileVersion(bool second)
{
    SavedSettings settings;
    settings.startTime = second ? 4.5 : 1.25;
    settings.endTime = second ? 9.25 : 3;
    settings.mediaPath = second ? "/media/second/lesson.mp3" : "/media/first/talk.mp3";
    return SettingsFileText(settings);
}

// How each version lies on the disk: every LF as CR LF.
inline std::string OnDisk(const std::string& text)
{
    std::string bytes;
    for (char c : text) {
        if (c == '\n')
            bytes += '\r';
        bytes += c;
    }
    return bytes;
}
