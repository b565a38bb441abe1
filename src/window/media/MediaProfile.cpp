// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/media/MediaProfile.h"

#include "components/profile/SoundProfiler.h"
#include "window/media/MediaSession.h"

MediaProfile::MediaProfile(std::unique_ptr<SoundProfiler> profiler, const MediaSession& media)
    : m_profiler(std::move(profiler))
{
    connect(m_profiler.get(), &SoundProfiler::profileChanged, this, &MediaProfile::profileChanged);
    connect(&media, &MediaSession::mediaLoaded, this, [this](const std::string& path) { m_profiler->Analyse(path); });
}

MediaProfile::~MediaProfile() = default;

const SoundProfile& MediaProfile::Profile() const
{
    return m_profiler->Profile();
}

void MediaProfile::Stop()
{
    m_profiler->Cancel();
}
