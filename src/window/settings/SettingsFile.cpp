// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/settings/SettingsFile.h"

#include "window/BoundControls.h"
#include "window/DialogPrompts.h"
#include "window/media/CurrentMedia.h"
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

SettingsFile::SettingsFile(std::string path, std::string initialPath, SegmentRepeat& segment, PausePoints& points,
                           CurrentMedia& media, MediaSession& opening, BoundControls& controls,
                           DialogPrompts& prompts)
    : m_path(std::move(path)),
      m_initialPath(std::move(initialPath)),
      m_segment(segment),
      m_points(points),
      m_media(media),
      m_opening(opening),
      m_controls(controls),
      m_prompts(prompts)
{
}

bool SettingsFile::LoadSettings(LastMedia lastMedia)
{
    std::error_code error;
    const bool started = !m_initialPath.empty() && !std::filesystem::exists(std::filesystem::symlink_status(m_path, error));
    const std::string& source = started ? m_initialPath : m_path;
    SettingsReading reading = ReadSettingsFile(source);
    if (!reading.readError.empty())
        m_prompts.ShowMessage(kProgramBoxCaption,
                             "Cannot read the settings from \"" + source + "\": " + reading.readError
                                 + "\nThe program starts with its default settings.",
                             BoxIcon::Exclamation);
    if (!reading.settings)
        return false;

    const SavedSettings& saved = *reading.settings;
    m_segment.Restore(saved.startTime, saved.endTime, saved.timeStep);
    m_points.SetSteps(saved.pointStep, saved.leadIn);
    m_controls.UpdateData(false);
    if (lastMedia == LastMedia::Leave)
        return true;
    m_media.SetPath(saved.mediaPath);
    m_controls.EnablePlaybackControls(true);
    m_opening.LoadStoppedWhenShown();
    m_points.LoadPausePoints(m_media.Path());
    return true;
}

void SettingsFile::InstallDefaults()
{
    m_segment.Restore(kDefaults.startTime, kDefaults.endTime, kDefaults.timeStep);
    m_points.SetSteps(kDefaults.pointStep, kDefaults.leadIn);
    m_media.SetPath(kDefaults.mediaPath);
    m_controls.EnablePlaybackControls(false);
    m_points.Clear(kDefaultPointFile);
}

void SettingsFile::SaveSettings()
{
    m_controls.UpdateData(true);
    SavedSettings settings{m_segment.Start(),   m_segment.End(),   m_segment.Step(),
                           m_points.PointStep(), m_points.LeadIn(), m_media.Path()};

    // The per-user configuration folder may not exist yet.
    std::error_code folderError;
    std::filesystem::path folder = std::filesystem::path(m_path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, folderError);

    std::optional<std::string> failure = folderError ? std::optional<std::string>(folderError.message())
                                                     : ReplaceTextFile(m_path, SettingsFileText(settings));
    if (failure)
        m_prompts.ShowMessage(kProgramBoxCaption, "Cannot save the settings in \"" + m_path + "\": " + *failure,
                             BoxIcon::Exclamation);
}
