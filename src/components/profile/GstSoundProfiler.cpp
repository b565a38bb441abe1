// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/profile/GstSoundProfiler.h"

#include "components/GuiThread.h"
#include "components/profile/CreateSoundProfiler.h"
#include "components/profile/DecodingPass.h"
#include "components/profile/ProfileBuilder.h"

#include <QLoggingCategory>
#include <stdexcept>

namespace {

Q_LOGGING_CATEGORY(lcProfiler, "ardeno.profile", QtWarningMsg)

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

} // namespace

std::unique_ptr<SoundProfiler> CreateSoundProfiler(const std::string& cacheFolder)
{
    return std::make_unique<GstSoundProfiler>(ProfileCache(cacheFolder));
}

GstSoundProfiler::GstSoundProfiler(ProfileCache cache) : m_cache(std::move(cache)) {}

GstSoundProfiler::~GstSoundProfiler()
{
    Q_ASSERT(OnGuiThread());
    Stop();
}

void GstSoundProfiler::Analyse(const std::string& path)
{
    Q_ASSERT(OnGuiThread());
    Stop();
    m_profile.Clear();
    std::string problem;
    m_source = FileIdentity::Of(path, &problem);
    if (!m_source) {
        m_profile.Fail("cannot read " + Quoted(path) + ": " + problem);
    } else if (std::optional<ProfileCache::Hit> hit = m_cache.Find(*m_source)) {
        m_profile.Begin(std::move(hit->blocks));
        m_profile.Extend(hit->kept.blockCount, hit->kept.summary);
        m_profile.Complete();
    } else if (!(m_file = m_cache.NewFile(*m_source, problem))) {
        m_profile.Fail("no folder takes its profile: " + problem);
    } else {
        m_profile.Begin(m_file);
        m_builder = std::make_unique<ProfileBuilder>(m_file, [this] { TakeNews(); });
        try {
            m_pass = std::make_unique<DecodingPass>(
                path, [builder = m_builder.get()](const SoundChunk& chunk) { builder->Add(chunk); },
                [this](const std::string& problem) { OnEnd(problem); });
        } catch (const std::exception& error) {
            Stop();
            m_profile.Fail(error.what());
        }
    }
    emit profileChanged();
}

void GstSoundProfiler::Cancel()
{
    Q_ASSERT(OnGuiThread());
    Stop();
    m_profile.Clear();
    emit profileChanged();
}

void GstSoundProfiler::Stop()
{
    m_pass.reset();
    m_builder.reset();
    m_file.reset();
}

void GstSoundProfiler::TakeNews()
{
    Q_ASSERT(OnGuiThread());
    ProfileBuilder::News news = m_builder->TakeNews();
    m_profile.Extend(news.blockCount, news.summary);
    if (news.problem) {
        Stop();
        m_profile.Fail(*news.problem);
    }
    emit profileChanged();
}

void GstSoundProfiler::OnEnd(const std::string& problem)
{
    Q_ASSERT(OnGuiThread());
    m_pass.reset();
    m_builder->Finish();
    ProfileBuilder::News news = m_builder->TakeNews();
    m_profile.Extend(news.blockCount, news.summary);
    if (news.problem || !problem.empty()) {
        m_profile.Fail(news.problem ? *news.problem : problem);
    } else {
        if (std::optional<std::string> notKept =
                m_cache.Keep(*m_file, *m_source, m_profile.BlockCount(), m_profile.Summary()))
            qCInfo(lcProfiler, "the profile is not kept: %s", notKept->c_str());
        m_profile.Complete();
    }
    Stop();
    emit profileChanged();
}
