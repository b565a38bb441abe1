// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
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

// Whether playback runs, holds or was stopped: Playing from Play until Pause,
// Stop, a load, the end of the media or a broken stream halts it (holding at
// the segment end still counts as playing); Paused after Pause and right after
// a load; Stopped after Stop, at the end of the media, and while nothing is
// loaded.
enum class PlaybackState { Stopped, Paused, Playing };

// Where playback is, for views that follow it (the desktop's media controls).
struct PlaybackStatus {
    PlaybackState state = PlaybackState::Stopped;
    // Seconds, as GetCurrentPosition reads it.
    double position = 0;
    // Seconds; none while unknown or nothing is loaded.
    std::optional<double> length;
};

// The operations the window drives a media player with. Every operation is
// synchronous: it blocks the calling (GUI) thread until its effect is in place,
// for at most a few seconds; a media framework that takes longer makes the
// operation fail instead of hang. A failing operation throws PlayerFault (codes
// and operation addresses in PlayerFault.h).
//
// A file that does not exist is not an error: the player then holds no media,
// shows the problem on its surface, and every operation but a new load does
// nothing (the position reads 0). An error that breaks the stream while it
// plays is shown on the surface at once and thrown by the next operation but
// Stop; after that the player holds no media until the next load.
class IMediaPlayer {
public:
    virtual ~IMediaPlayer() = default;

    // Called once by the player control before any operation.
    virtual void setSurface(PlayerSurface* surface) = 0;

    // Loads the file and waits until its first frame is ready: on return the
    // player is paused at 0, and a seek, Play or Stop issued right after acts on
    // it. The file loaded already, unchanged on disk since (the same size and
    // modification time) and not broken, is not opened again: the player goes
    // back to its start, as a load would leave it, keeping what it has learnt
    // of the file (a long file's seek index). Throws CannotOpen (with the media
    // framework's reason) for a file that exists but cannot be played, Timeout
    // when the file takes too long to open.
    virtual void SetMediaFileName(const std::string& path) = 0;
    // Current position in seconds, also while paused or stopped and right after
    // a seek. Cheap enough to be called ten times a second; does not block.
    virtual double GetCurrentPosition() = 0;
    // Moves playback to `seconds` and waits until the new position is ready (a
    // playing player keeps playing from there). Below 0 means 0, beyond the end
    // means the end. The first sample played is the one at `seconds`; for video
    // the first frame shown is the one showing at `seconds`. Throws Refused or
    // Timeout when the seek cannot be done.
    virtual void SetCurrentPosition(double seconds) = 0;
    // Where playback ends, for a segment that is to end on its exact sample:
    // playback halts there, the last sample played being the one before
    // `seconds`. The player then holds there, still playing but with nothing
    // more to play, and its position reads `seconds` exactly; a seek plays
    // again up to it, Pause and Stop act as usual. Lasts until the next load or
    // the next call; no value means none. A new end takes effect at once, also
    // while playing (at or before the position, playback halts where it is);
    // taking the end away never seeks, so a playback already running keeps its
    // end until the next seek or Play. Raises no stream error (as Stop); throws
    // Refused or Timeout when the seek it needs cannot be done.
    virtual void SetSegmentEnd(std::optional<double> seconds) = 0;
    // Plays at `speed` times the media's own speed, at the media's pitch (1:
    // as recorded; brought within 0.25..4, and what is not a number is 1).
    // Holds for Play, seeks and loads alike until the next call. Positions,
    // seeks and the segment end stay in media seconds, and a segment still
    // ends on its exact last sample, after (end - start) / speed seconds. A
    // playing player changes speed at once where it plays, without a jump; one
    // that does not play takes the speed with its next seek or Play. Throws
    // Refused or Timeout when the seek it needs cannot be done.
    virtual void SetSpeed(double speed) = 0;
    // Plays from the current position; returns once playback is running.
    // Past the segment end there is nothing to play: the player holds.
    virtual void Play() = 0;
    // Holds the position; returns once playback has halted.
    virtual void Pause() = 0;
    // Stops playback, keeping the position (Play continues from there); does
    // nothing when nothing is loaded or playback is already stopped. Raises no
    // stream error, also not one that arrives while it stops: the error is
    // shown on the surface and thrown by the next other operation. Throws
    // Refused or Timeout only when the framework does not stop.
    virtual void Stop() = 0;

    // Whether playback runs now, as the player last saw it; asks the media
    // framework nothing, so a view may read it right after any operation.
    virtual PlaybackState PlayState() const = 0;
    // Where playback is now, asked of the media framework. Never blocks and
    // never throws: the error of a stream that broke stays for the next
    // operation.
    virtual PlaybackStatus Status() const = 0;
};
