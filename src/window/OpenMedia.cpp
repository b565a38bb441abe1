#include "window/RecorderDlg.h"

#include <QLineEdit>
#include <filesystem>

// Opening media: choose a file, play it from its start with a fresh segment,
// and load its pause points.

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

void CRecorderDlg::OnOpen()
{
    m_player.Stop();
    // Points the user wanted saved and that could not be stay in the list,
    // rather than be replaced by those of the next file.
    if (!OfferToSavePausePoints())
        return;

    std::optional<std::string> chosen = m_prompts.OpenFile(this, OpenDialogStartPath(), kOpenFilter);
    if (!chosen)
        return;

    m_pathEdit->setText(QString::fromStdString(*chosen));
    m_mediaPath = *chosen;
    m_player.SetMediaFileName(m_mediaPath);
    m_player.Play();

    m_startTime = 0;
    m_endTime = 0;
    m_startTimeShown = 0;
    m_endTimeShown = 0;
    UpdateData(false);

    LoadPausePoints();
    EnablePlaybackControls(true);
    m_pointsModified = false;
}
