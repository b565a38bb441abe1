// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/media/MediaDrop.h"

#include "components/transcript/TranscriptFile.h"
#include "window/commands/WindowCommands.h"
#include "window/media/MediaSession.h"
#include "window/transcript/TranscriptWork.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <optional>
#include <string>

namespace {

// The one local file that `data` carries; nothing for several, none, or a
// remote address.
std::optional<std::string> DroppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return std::nullopt;
    return QFile::encodeName(data->urls().front().toLocalFile()).toStdString();
}

} // namespace

MediaDrop::MediaDrop(QWidget& window, MediaSession& opening, TranscriptWork& transcript, WindowCommands& commands)
    : m_opening(opening),
      m_transcript(transcript),
      m_commands(commands)
{
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

bool MediaDrop::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (DroppedFile(drag->mimeData()))
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        std::optional<std::string> path = DroppedFile(drop->mimeData());
        if (!path)
            return false;
        drop->acceptProposedAction();
        // As a command of the user's, once the drop has been answered.
        m_commands.Post([this, path = *path] {
            if (FormatOfExtension(path))
                m_transcript.LoadTranscript(path);
            else
                m_opening.OpenFile(path);
        });
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
