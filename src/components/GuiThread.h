// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QThread>

// True on the thread that runs the application's event loop. The components
// hand their media framework's messages and frames to that thread, so their
// operations are asserted to run there: Q_ASSERT(OnGuiThread()).
inline bool OnGuiThread()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}
