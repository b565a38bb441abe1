#include "window/media/MediaSession.h"

#include "components/player/PlayerFault.h"
#include "window/RecorderDlg.h"
#include "window/pausepoints/PausePoints.h"
#include "window/segment/SegmentRepeat.h"

#include <QLineEdit>
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

MediaSession::MediaSession(CRecorderDlg& dialog, CMediaplayer1& player) : m_dialog(dialog), m_player(player) {}

void MediaSession::SetPath(const std::string& path)
{
    static_cast<QLineEdit*>(m_dialog.Control(ControlId::MediaPath))->setText(QString::fromStdString(path));
    m_mediaPath = path;
}

void MediaSession::Open()
{
    if (!LeaveCurrent())
        return;
    std::optional<std::string> chosen = m_dialog.Prompter().OpenFile(&m_dialog, OpenDialogStartPath(), kOpenFilter);
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
    return m_dialog.Points().OfferToSavePausePoints();
}

void MediaSession::PlayNew(const std::string& path)
{
    SetPath(path);
    m_player.SetMediaFileName(m_mediaPath);
    m_player.Play();
    emit mediaLoaded(m_mediaPath);

    m_dialog.Segment().Reset();
    m_dialog.Points().LoadPausePoints();
    m_dialog.EnablePlaybackControls(true);
}

void MediaSession::Reload()
{
    m_player.SetMediaFileName(m_mediaPath);
}

void MediaSession::LoadStoppedWhenShown()
{
    // Loading takes up to a few hundred ms: a window being started comes on
    // screen first.
    m_dialog.RunWhenShown([this] { LoadStopped(); });
}

void MediaSession::LoadStopped()
{
    // A remembered file that cannot be played any more must not cost the user
    // the rest of the settings or the pause points: say why, and go on with
    // the playback controls off as after a failed Play.
    try {
        m_player.SetMediaFileName(m_mediaPath);
        m_player.Stop();
    } catch (const PlayerFault& fault) {
        m_dialog.ShowMessage(m_dialog.Environment().appName, fault.what(), BoxIcon::Stop);
        m_dialog.EnablePlaybackControls(false);
        return;
    }
    emit mediaLoaded(m_mediaPath);
}
