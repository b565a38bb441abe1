#include "FullStack.h"

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
