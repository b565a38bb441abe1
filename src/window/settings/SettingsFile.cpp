#include "window/settings/SettingsFile.h"

#include "window/RecorderDlg.h"
#include "window/media/MediaSession.h"
#include "window/pausepoints/PausePoints.h"
#include "window/segment/SegmentRepeat.h"
#include "window/settings/SettingsText.h"
#include "window/text/TextFile.h"

#include <filesystem>

namespace {

// The values of a first start.
const SavedSettings kDefaults{0, 0, 0.5, 0.5, 0.33, "D:\\AllMediaFile.mp3"};
// Where the default pause points would be saved (not derived from the path).
constexpr const char* kDefaultPointFile = "D:\\AllMediaFile1.txt";

} // namespace

SettingsFile::SettingsFile(CRecorderDlg& dialog, std::string path, std::string initialPath)
    : m_dialog(dialog), m_path(std::move(path)), m_initialPath(std::move(initialPath))
{
}

bool SettingsFile::LoadSettings()
{
    std::error_code error;
    const bool started = !m_initialPath.empty() && !std::filesystem::exists(std::filesystem::symlink_status(m_path, error));
    const std::string& source = started ? m_initialPath : m_path;
    SettingsReading reading = ReadSettingsFile(source);
    if (!reading.readError.empty())
        m_dialog.ShowMessage(kProgramBoxCaption,
                             "Cannot read the settings from \"" + source + "\": " + reading.readError
                                 + "\nThe program starts with its default settings.",
                             BoxIcon::Exclamation);
    if (!reading.settings)
        return false;

    const SavedSettings& saved = *reading.settings;
    m_dialog.Segment().Restore(saved.startTime, saved.endTime, saved.timeStep);
    m_dialog.Points().SetSteps(saved.pointStep, saved.leadIn);
    m_dialog.Media().SetPath(saved.mediaPath);
    m_dialog.EnablePlaybackControls(true);
    m_dialog.UpdateData(false);
    m_dialog.Media().LoadStoppedWhenShown();
    m_dialog.Points().LoadPausePoints();
    return true;
}

void SettingsFile::InstallDefaults()
{
    m_dialog.Segment().Restore(kDefaults.startTime, kDefaults.endTime, kDefaults.timeStep);
    m_dialog.Points().SetSteps(kDefaults.pointStep, kDefaults.leadIn);
    m_dialog.Media().SetPath(kDefaults.mediaPath);
    m_dialog.EnablePlaybackControls(false);
    m_dialog.Points().Clear(kDefaultPointFile);
}

void SettingsFile::SaveSettings()
{
    m_dialog.UpdateData(true);
    const SegmentRepeat& segment = m_dialog.Segment();
    const PausePoints& points = m_dialog.Points();
    SavedSettings settings{segment.Start(), segment.End(),     segment.Step(),
                           points.PointStep(), points.LeadIn(), m_dialog.Media().Path()};

    // The per-user configuration folder may not exist yet.
    std::error_code folderError;
    std::filesystem::path folder = std::filesystem::path(m_path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, folderError);

    std::optional<std::string> failure = folderError ? std::optional<std::string>(folderError.message())
                                                     : ReplaceTextFile(m_path, SettingsFileText(settings));
    if (failure)
        m_dialog.ShowMessage(kProgramBoxCaption, "Cannot save the settings in \"" + m_path + "\": " + *failure,
                             BoxIcon::Exclamation);
}
