// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/media/MediaSession.h"

#include "components/player/PlayerFault.h"
#include "window/BoundControls.h"
#include "window/CMediaplayer1.h"
#include "window/DialogPrompts.h"
#include "window/WindowDispatch.h"
#include "window/media/CurrentMedia.h"
#include "window/pausepoints/PausePoints.h"
#include "window/segment/SegmentRepeat.h"

#include <filesystem>

namespace {

constexpr const char* kOpenFilter =
    "All Files |*.*|Video CD (*.dat)|*.dat|mp3 (*.mp3)|*.mp3|wav (*.wav)|*.wav|mpg (*.mpg)|*.mpg||";

// Where the open dialog starts: "MP3File" in the current directory.
std::string OpenDialogStartPath()
{
    std::error_code error;
    std::string folder = std::filesystem::current_path(error).string();
    if (error || folder.empty())
        return "MP3File";
    return folder + (folder.back() == '/' ? "MP3File" : "/MP3File");
}

} // namespace

MediaSession::MediaSession(CMediaplayer1& player, CurrentMedia& media, SegmentRepeat& segment, PausePoints& points,
                           BoundControls& controls, DialogPrompts& prompts, WindowDispatch& dispatch)
    : m_player(player),
      m_media(media),
      m_segment(segment),
      m_points(points),
      m_controls(controls),
      m_prompts(prompts),
      m_dispatch(dispatch)
{
}

void MediaSession::Open()
{
    if (!LeaveCurrent())
        return;
    std::optional<std::string> chosen = m_prompts.OpenFile(OpenDialogStartPath(), kOpenFilter);
    if (chosen)
        PlayNew(*chosen);
}

void MediaSession::OpenFile(const std::string& path)
{
    if (LeaveCurrent())
        PlayNew(path);
}

bool MediaSession::LeaveCurrent()
{
    m_player.Stop();
    // Points the user wanted saved and that could not be stay in the list,
    // rather than be replaced by those of the next file.
    return m_points.OfferToSavePausePoints();
}

void MediaSession::PlayNew(const std::string& path)
{
    m_media.SetPath(path);
    m_media.Reload();
    m_player.Play();
    emit mediaLoaded(m_media.Path());

    m_segment.Reset();
    m_points.LoadPausePoints(m_media.Path());
    m_controls.EnablePlaybackControls(true);
}

void MediaSession::LoadStoppedWhenShown()
{
    // Loading takes up to a few hundred ms: a window being started comes on
    // screen first.
    m_dispatch.RunWhenShown([this] { LoadStopped(); });
}

void MediaSession::LoadStopped()
{
    // A remembered file that cannot be played any more must not cost the user
    // the rest of the settings or the pause points: say why, and go on with
    // the playback controls off as after a failed Play.
    try {
        m_media.Reload();
        m_player.Stop();
    } catch (const PlayerFault& fault) {
        m_prompts.ShowMessage(m_prompts.AppName(), fault.what(), BoxIcon::Stop);
        m_controls.EnablePlaybackControls(false);
        return;
    }
    emit mediaLoaded(m_media.Path());
}
