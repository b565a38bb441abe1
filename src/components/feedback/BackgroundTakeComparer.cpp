// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/feedback/BackgroundTakeComparer.h"

#include "components/GuiThread.h"
#include "components/MediaFramework.h"
#include "components/takes/TakeDecoding.h"

#include <future>
#include <stdexcept>

namespace {

// The rate the comparison's features and pitch are computed at.
constexpr int kComparisonRate = 16000;

} // namespace

BackgroundTakeComparer::BackgroundTakeComparer() = default;

BackgroundTakeComparer::~BackgroundTakeComparer()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    if (m_worker.joinable())
        m_worker.join();
}

void BackgroundTakeComparer::Compare(const TakeToCompare& take)
{
    Q_ASSERT(OnGuiThread());
    {
        const std::lock_guard lock(m_mutex);
        m_waiting = take;
        ++m_requests;
    }
    // The thread starts with the first take, not with the window.
    if (!m_worker.joinable())
        m_worker = std::thread([this] { Work(); });
    m_wake.notify_one();
}

void BackgroundTakeComparer::Cancel()
{
    Q_ASSERT(OnGuiThread());
    const std::lock_guard lock(m_mutex);
    m_waiting.reset();
    ++m_requests;
}

void BackgroundTakeComparer::Work()
{
    for (;;) {
        TakeToCompare take;
        unsigned request = 0;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || m_waiting; });
            if (m_stopping)
                return;
            take = std::move(*m_waiting);
            m_waiting.reset();
            request = m_requests;
        }
        ComparedTake result = CompareFiles(take);
        // Reported only when no request came since; checked again on the GUI
        // thread, where Compare and Cancel count.
        QMetaObject::invokeMethod(
            this,
            [this, request, result = std::move(result)] {
                bool current = false;
                {
                    const std::lock_guard lock(m_mutex);
                    current = request == m_requests;
                }
                if (current)
                    emit compared(result);
            },
            Qt::QueuedConnection);
    }
}

ComparedTake BackgroundTakeComparer::CompareFiles(const TakeToCompare& take)
{
    ComparedTake result{take, {}, {}};
    if (std::optional<std::string> problem = InitialiseMediaFramework()) {
        result.problem = std::move(*problem);
        return result;
    }
    try {
        // Both decoded at once, on two cores.
        auto repetitionSoon = std::async(std::launch::async, [&] {
            return DecodeMonoSound(take.takePath, std::nullopt, kComparisonRate);
        });
        const std::vector<float> original = DecodeMonoSound(take.mediaPath, take.sentence, kComparisonRate);
        const std::vector<float> repetition = repetitionSoon.get();
        result.comparison = CompareTake({original, kComparisonRate}, {repetition, kComparisonRate});
    } catch (const std::runtime_error& error) {
        result.problem = error.what();
    }
    return result;
}
