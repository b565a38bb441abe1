#pragma once

#include <string>

class QImage;
class QString;

// Where a player shows what it plays. Implemented by the player control; every
// call arrives on the GUI thread.
class PlayerSurface {
public:
    virtual ~PlayerSurface() = default;
    // A decoded video frame to paint (aspect ratio kept, black around it).
    virtual void showFrame(const QImage& frame) = 0;
    // A line of text in place of a picture: the file name of audio-only media,
    // or a problem such as a missing file or a broken stream.
    virtual void showText(const QString& text) = 0;
};

// The six operations the window drives a media player with. Every operation is
// synchronous: when it returns, its effect is in place. A failing operation
// throws PlayerFault.
class IMediaPlayer {
public:
    virtual ~IMediaPlayer() = default;

    // Called once by the player control before any operation.
    virtual void setSurface(PlayerSurface* surface) = 0;

    // Loads the file; a seek, Play or Stop issued right after acts on it.
    virtual void SetMediaFileName(const std::string& path) = 0;
    // Current position in seconds, also while paused or stopped.
    virtual double GetCurrentPosition() = 0;
    // Moves playback to `seconds`; below 0 means 0, beyond the end means the end.
    virtual void SetCurrentPosition(double seconds) = 0;
    // Plays from the current position.
    virtual void Play() = 0;
    // Holds the position.
    virtual void Pause() = 0;
    // Stops playback, keeping the position; harmless when nothing is loaded.
    virtual void Stop() = 0;
};
