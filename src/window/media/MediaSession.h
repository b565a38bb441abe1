#pragma once

#include <QObject>
#include <string>

class CMediaplayer1;
class CRecorderDlg;

// The window's media: the file's path (shown in the path box), Open, which
// picks a file and plays it with a fresh segment and its own pause points,
// and the start-up load of the remembered file. Announces each file it loads.
class MediaSession : public QObject {
    Q_OBJECT
public:
    MediaSession(CRecorderDlg& dialog, CMediaplayer1& player);

    const std::string& Path() const { return m_mediaPath; }
    // Takes a path without loading it (the settings' or the default one).
    void SetPath(const std::string& path);

    // The Open command.
    void Open();
    // Open with `path` in place of the file the user picks.
    void OpenFile(const std::string& path);
    // Loads the media again, as Play does before it plays on.
    void Reload();
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

    CRecorderDlg& m_dialog;
    CMediaplayer1& m_player;
    std::string m_mediaPath;
};
