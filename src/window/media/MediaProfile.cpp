#include "window/media/MediaProfile.h"

#include "components/profile/SoundProfiler.h"
#include "window/RecorderDlg.h"
#include "window/media/MediaSession.h"

MediaProfile::MediaProfile(CRecorderDlg& dialog, std::unique_ptr<SoundProfiler> profiler)
    : m_profiler(std::move(profiler))
{
    connect(m_profiler.get(), &SoundProfiler::profileChanged, this, &MediaProfile::profileChanged);
    connect(&dialog.Media(), &MediaSession::mediaLoaded, this,
            [this](const std::string& path) { m_profiler->Analyse(path); });
    connect(&dialog, &QDialog::finished, this, [this] { m_profiler->Cancel(); });
}

MediaProfile::~MediaProfile() = default;

const SoundProfile& MediaProfile::Profile() const
{
    return m_profiler->Profile();
}
