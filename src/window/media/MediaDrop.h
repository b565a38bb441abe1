// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class MediaSession;
class QWidget;
class TranscriptWork;
class WindowCommands;

// A file dropped on the window (from a file manager) opens as Open would; a
// transcript file (.lrc, .srt, .vtt) is read as the media's transcript. One
// local file at a time; anything else dragged over the window is refused.
class MediaDrop : public QObject {
    Q_OBJECT
public:
    MediaDrop(QWidget& window, MediaSession& opening, TranscriptWork& transcript, WindowCommands& commands);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MediaSession& m_opening;
    TranscriptWork& m_transcript;
    WindowCommands& m_commands;
};
