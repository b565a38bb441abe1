// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

class BoundControls;
class CurrentMedia;
class DialogPrompts;
class MediaSession;
class PausePoints;
class SegmentRepeat;

// The settings file: the segment, the two steps, the lead-in and the media
// path, read at start-up (which loads that media again, stopped) and written
// on Close; and the defaults a start without usable settings installs.
class SettingsFile {
public:
    // `initialPath`, when not empty, is read instead while `path` does not
    // exist yet (the settings an installed program's folder holds).
    SettingsFile(std::string path, std::string initialPath, SegmentRepeat& segment, PausePoints& points,
                 CurrentMedia& media, MediaSession& opening, BoundControls& controls, DialogPrompts& prompts);

    enum class LastMedia {
        Reload, // the media the file names is loaded with its pause points
        Leave,  // another file is about to be opened in its place
    };
    // True when all six values were read; with LastMedia::Reload the media
    // they name is then loaded (once the window is on screen) with its pause
    // points. A file that cannot be read is reported in a box.
    bool LoadSettings(LastMedia lastMedia = LastMedia::Reload);
    // Writes the file; a failure is shown in a box naming the file.
    void SaveSettings();
    // The values of a first start; the player is given no file.
    void InstallDefaults();

private:
    std::string m_path;
    std::string m_initialPath;
    SegmentRepeat& m_segment;
    PausePoints& m_points;
    CurrentMedia& m_media;
    MediaSession& m_opening;
    BoundControls& m_controls;
    DialogPrompts& m_prompts;
};
