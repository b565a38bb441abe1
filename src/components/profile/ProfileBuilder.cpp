// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/profile/ProfileBuilder.h"

#include "components/GuiThread.h"

#include <cerrno>
#include <cstring>

namespace {

// How often the GUI thread hears of the profile's growth.
constexpr std::chrono::milliseconds kHandOverPeriod{250};
// A first look: the view's usual span of 20 s.
constexpr std::size_t kFirstLookBlocks = 20 * kBlocksPerSecond;

} // namespace

ProfileBuilder::ProfileBuilder(std::shared_ptr<const BlockFile> file, std::function<void()> onNews)
    : m_file(std::move(file)), m_onNews(std::move(onNews))
{
    Q_ASSERT(OnGuiThread());
}

void ProfileBuilder::Add(const SoundChunk& chunk)
{
    if (m_failed)
        return;
    m_meter.Add(chunk, m_measured);
    const bool firstLook = !m_handedOver && m_written + m_measured.size() >= kFirstLookBlocks;
    if (firstLook || std::chrono::steady_clock::now() - m_lastHandOver >= kHandOverPeriod)
        HandOver(false);
}

void ProfileBuilder::Finish()
{
    Q_ASSERT(OnGuiThread());
    if (m_failed)
        return;
    m_meter.Finish(m_measured);
    HandOver(true);
}

void ProfileBuilder::HandOver(bool last)
{
    m_handedOver = true;
    m_lastHandOver = std::chrono::steady_clock::now();
    News news;
    if (!m_file->Write(m_written, m_measured)) {
        m_failed = true;
        news.problem = std::string("the profile cannot be written: ") + std::strerror(errno);
    } else {
        m_written += m_measured.size();
        m_unsummarised.insert(m_unsummarised.end(), m_measured.begin(), m_measured.end());
        news.summary = Summarise(m_unsummarised, last);
        const std::size_t summed = last ? m_unsummarised.size() : news.summary.size() * kSummaryBlocks;
        m_unsummarised.erase(m_unsummarised.begin(), m_unsummarised.begin() + std::ptrdiff_t(summed));
    }
    m_measured.clear();

    std::lock_guard lock(m_mutex);
    m_news.blockCount = m_written;
    m_news.summary.insert(m_news.summary.end(), news.summary.begin(), news.summary.end());
    if (news.problem)
        m_news.problem = news.problem;
    if (m_deliveryQueued)
        return;
    m_deliveryQueued = true;
    QMetaObject::invokeMethod(&m_guiContext, [this] { m_onNews(); }, Qt::QueuedConnection);
}

ProfileBuilder::News ProfileBuilder::TakeNews()
{
    Q_ASSERT(OnGuiThread());
    std::lock_guard lock(m_mutex);
    m_deliveryQueued = false;
    News news = std::move(m_news);
    m_news = News{news.blockCount, {}, std::nullopt};
    return news;
}
