// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/feedback/TakeComparer.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

// Compares takes on a thread of its own (started by the first): the sentence and the take decoded
// at 16 kHz mono, then CompareTake. The result comes to the GUI thread
// through its event loop. A newer request replaces one not yet begun; one
// that runs is finished (a tenth of a second for a 10 s take) and dropped.
class BackgroundTakeComparer : public TakeComparer {
    Q_OBJECT
public:
    BackgroundTakeComparer();
    ~BackgroundTakeComparer() override;

    void Compare(const TakeToCompare& take) override;
    void Cancel() override;

private:
    void Work();
    // Worker thread: the decoded files compared, or why they could not be.
    static ComparedTake CompareFiles(const TakeToCompare& take);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<TakeToCompare> m_waiting;
    // Counts the requests, so that the result of a replaced one is dropped.
    unsigned m_requests = 0;
    bool m_stopping = false;
    std::thread m_worker;
};
