#include "window/RecorderDlg.h"

#include "components/player/PlayerFault.h"
#include "window/SettingsText.h"
#include "window/TextFile.h"

#include <QLineEdit>
#include <filesystem>

// The settings file: the segment, the steps, the lead-in and the media path,
// read at start-up and written on Close.

bool CRecorderDlg::LoadSettings()
{
    const std::string& path = m_environment.settingsPath;
    SettingsReading reading = ReadSettingsFile(path);
    if (!reading.readError.empty())
        ShowMessage(kProgramBoxCaption,
                    "Cannot read the settings from \"" + path + "\": " + reading.readError
                        + "\nThe program starts with its default settings.",
                    BoxIcon::Exclamation);
    if (!reading.settings)
        return false;

    const SavedSettings& saved = *reading.settings;
    m_startTime = saved.startTime;
    m_endTime = saved.endTime;
    m_timeStep = saved.timeStep;
    m_pointStep = saved.pointStep;
    m_leadIn = saved.leadIn;
    m_pathEdit->setText(QString::fromStdString(saved.mediaPath));
    m_mediaPath = saved.mediaPath;

    m_startTimeShown = m_startTime;
    m_endTimeShown = m_endTime;
    EnablePlaybackControls(true);
    UpdateData(false);
    // Loading media takes up to a few hundred ms: a window being started
    // (DoModal) comes on screen first and loads it right after (paintEvent).
    if (m_reopenMediaWhenShown)
        m_mediaReopenPending = true;
    else
        ReopenMedia();
    LoadPausePoints();
    return true;
}

void CRecorderDlg::ReopenMedia()
{
    // A remembered file that cannot be played any more must not cost the user
    // the rest of the settings or the pause points: say why, and go on with
    // the playback controls off as after a failed Play.
    try {
        m_player.SetMediaFileName(m_mediaPath);
        m_player.Stop();
    } catch (const PlayerFault& fault) {
        ShowMessage(m_environment.appName, fault.what(), BoxIcon::Stop);
        EnablePlaybackControls(false);
    }
}

void CRecorderDlg::SaveSettings()
{
    UpdateData(true);
    SavedSettings settings{m_startTime, m_endTime, m_timeStep, m_pointStep, m_leadIn, m_mediaPath};

    // The per-user configuration folder may not exist yet.
    const std::string& path = m_environment.settingsPath;
    std::error_code folderError;
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, folderError);

    std::optional<std::string> failure =
        folderError ? std::optional<std::string>(folderError.message()) : ReplaceTextFile(path, SettingsFileText(settings));
    if (failure)
        ShowMessage(kProgramBoxCaption, "Cannot save the settings in \"" + path + "\": " + *failure,
                    BoxIcon::Exclamation);
}
