#include "window/mpris/MprisRoot.h"

#include "window/RecorderDlg.h"
#include "window/commands/WindowCommands.h"

MprisRoot::MprisRoot(QObject* exported, CRecorderDlg& dialog) : QDBusAbstractAdaptor(exported), m_dialog(dialog) {}

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
    m_dialog.Commands().Post([this] { m_dialog.close(); });
}

// Also while a box is open over the window: it comes up with the window.
void MprisRoot::Raise()
{
    m_dialog.showNormal();
    m_dialog.raise();
    m_dialog.activateWindow();
}
