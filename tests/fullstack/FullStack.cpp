#include "FullStack.h"

#include "components/player/CreateMediaPlayer.h"
#include "components/recorder/CMP3Enc.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <cstdlib>

SoundServerSession::SoundServerSession()
{
    if (!m_server.Ready()) {
        m_problem = m_server.Problem();
        return;
    }
    setenv("PULSE_SERVER", m_server.Address().c_str(), 1);
    m_monitor = std::make_unique<ServerRecording>();
    // The first recording from a server takes a while to start.
    if (!QTest::qWaitFor([this] { return m_monitor->Size() > kRate / 10; }, 5000))
        m_problem = "the sound server's monitor recorded nothing within 5 s";
}

SoundServerSession::~SoundServerSession()
{
    m_monitor.reset();
    unsetenv("PULSE_SERVER");
}

RealWindow::RealWindow(std::string settingsPath)
{
    m_environment.appName = "ardeno-recorder";
    m_environment.settingsPath = std::move(settingsPath);
    m_environment.homePageUrl = "file:///guide.html";
}

void RealWindow::Start()
{
    dlg.reset();
    dlg = std::make_unique<CRecorderDlg>(std::make_unique<CMP3Enc>(), CreateMediaPlayer(), prompts, m_environment);
    dlg->OnInitDialog();
    dlg->show();
}

void RealWindow::Click(int id)
{
    qobject_cast<QAbstractButton*>(dlg->Control(id))->click();
}

std::string RealWindow::Text(int id) const
{
    QWidget* control = dlg->Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text().toStdString();
    return qobject_cast<QLabel*>(control)->text().toStdString();
}
