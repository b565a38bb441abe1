// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/mpris/MprisRoot.h"

#include "window/commands/WindowCommands.h"

#include <QWidget>

MprisRoot::MprisRoot(QObject* exported, QWidget& window, WindowCommands& commands)
    : QDBusAbstractAdaptor(exported), m_window(window), m_commands(commands)
{
}

QString MprisRoot::identity() const
{
    return QStringLiteral("Ardeno Audio Recorder");
}

// The name of the installed desktop entry, without ".desktop".
QString MprisRoot::desktopEntry() const
{
    return QStringLiteral(ARDENO_APP_ID);
}

QStringList MprisRoot::supportedUriSchemes() const
{
    return {QStringLiteral("file")};
}

// The kinds of file the open dialog offers.
QStringList MprisRoot::supportedMimeTypes() const
{
    return {QStringLiteral("audio/mpeg"), QStringLiteral("audio/x-wav"), QStringLiteral("audio/wav"),
            QStringLiteral("video/mpeg")};
}

void MprisRoot::Quit()
{
    m_commands.Post([this] { m_window.close(); });
}

// Also while a box is open over the window: it comes up with the window.
void MprisRoot::Raise()
{
    m_window.showNormal();
    m_window.raise();
    m_window.activateWindow();
}
