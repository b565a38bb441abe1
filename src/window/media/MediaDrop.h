#pragma once

#include <QObject>

class MediaSession;
class QWidget;
class WindowCommands;

// A file dropped on the window (from a file manager) opens as Open would.
// One local file at a time; anything else dragged over the window is refused.
class MediaDrop : public QObject {
    Q_OBJECT
public:
    MediaDrop(QWidget& window, MediaSession& opening, WindowCommands& commands);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MediaSession& m_opening;
    WindowCommands& m_commands;
};
