// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <string>

class BoundControls;
class CMediaplayer1;
class CurrentMedia;
class DialogPrompts;
class PausePoints;
class SegmentRepeat;
class WindowDispatch;

// Opening media: Open, which picks a file and plays it with a fresh segment
// and its own pause points, and the start-up load of the remembered file.
// Announces each file it loads.
class MediaSession : public QObject {
    Q_OBJECT
public:
    MediaSession(CMediaplayer1& player, CurrentMedia& media, SegmentRepeat& segment, PausePoints& points,
                 BoundControls& controls, DialogPrompts& prompts, WindowDispatch& dispatch);

    // The Open command.
    void Open();
    // Open with `path` in place of the file the user picks.
    void OpenFile(const std::string& path);
    // Loads the media stopped, once the window is on screen. A file that
    // cannot be played any more is shown in a box and turns the playback
    // controls off; the rest of the start-up goes on.
    void LoadStoppedWhenShown();

signals:
    // A file was loaded into the player (Open, or the start-up load).
    void mediaLoaded(const std::string& path);

private:
    // Stops the player and offers to save the current pause points; false
    // when they must stay (a save the user asked for failed).
    bool LeaveCurrent();
    // Loads and plays `path` with a fresh segment and its own pause points.
    void PlayNew(const std::string& path);
    void LoadStopped();

    CMediaplayer1& m_player;
    CurrentMedia& m_media;
    SegmentRepeat& m_segment;
    PausePoints& m_points;
    BoundControls& m_controls;
    DialogPrompts& m_prompts;
    WindowDispatch& m_dispatch;
};
