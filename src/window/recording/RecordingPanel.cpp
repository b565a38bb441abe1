// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/recording/RecordingPanel.h"

#include "components/recorder/Recorder.h"
#include "window/BoundControls.h"
#include "window/DataExchange.h"
#include "window/DialogPrompts.h"
#include "window/WindowTimers.h"
#include "window/recording/RecordingFormat.h"

#include <QLabel>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

// The recorder writes MP3 whatever name was chosen.
constexpr const char* kOutputExtension = ".mp3";

// The caption of the save dialog's own question.
constexpr const char* kSaveDialogCaption = "Confirm Save As";

bool FileExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(path), error);
}

std::string WithReason(const std::string& what, const std::string& reason)
{
    return what + "\n" + (reason.empty() ? std::string("The recorder gave no reason.") : reason);
}

} // namespace

RecordingPanel::RecordingPanel(IRecorder& recorder, QWidget& saveAs, QLabel& recTime, QLabel& fileSize,
                               WindowTimers& timers, BoundControls& controls, DialogPrompts& prompts)
    : m_recorder(recorder),
      m_saveAs(saveAs),
      m_recTime(recTime),
      m_fileSize(fileSize),
      m_timers(timers),
      m_controls(controls),
      m_prompts(prompts)
{
}

void RecordingPanel::EnableSaveAs(bool enable)
{
    m_saveAs.setEnabled(enable);
}

void RecordingPanel::ChooseOutputFile()
{
    // Ask about the file that will really be written; "No" goes back to the
    // dialog for another name.
    for (;;) {
        std::optional<std::string> chosen = m_prompts.SaveFile();
        if (!chosen)
            return;
        std::string output = *chosen + kOutputExtension;
        if (!FileExists(output) || ConfirmReplacing(kSaveDialogCaption, output)) {
            m_saveFileName = output;
            m_outputConfirmed = true;
            m_controls.UpdateData(false);
            return;
        }
    }
}

void RecordingPanel::Record()
{
    m_controls.UpdateData(true);
    if (m_saveFileName.empty()) {
        m_prompts.ShowMessage(m_prompts.AppName(), "Please Input Save File Name!", BoxIcon::Exclamation);
        return;
    }
    // A finished recording (or a file the user did not agree to replace) is
    // not overwritten without asking; the recording that still runs into it
    // simply goes on (resumed when paused).
    const bool goesOn = m_recordingRunning && m_recorder.IsRecording();
    if (!goesOn && !m_outputConfirmed && FileExists(m_saveFileName)
        && !ConfirmReplacing(kProgramBoxCaption, m_saveFileName))
        return;

    // The recorder may shorten the name in place.
    m_recorder.SetFileName(m_saveFileName.data());
    m_saveFileName.resize(std::strlen(m_saveFileName.c_str()));

    if (!m_recorder.StartRec()) {
        // Nothing is captured: nothing may look as if it were.
        m_recordingRunning = false;
        EnableSaveAs(true);
        m_prompts.ShowMessage(kProgramBoxCaption,
                             WithReason("Recording to " + m_saveFileName + " could not start.", m_recorder.LastError()),
                             BoxIcon::Stop);
        return;
    }
    m_recordingRunning = true;
    m_outputConfirmed = false;
    m_timers.StartTimer(RecordTimer);
    EnableSaveAs(false);
}

void RecordingPanel::PauseRecording()
{
    m_recorder.PauseRec();
}

void RecordingPanel::StopRecording()
{
    m_recorder.StopRec();
    EndRecording();
    EnableSaveAs(true);
}

void RecordingPanel::RefreshLabels()
{
    m_fileSize.setText(QString::fromStdString(FormatSize(m_recorder.GetFileSize())));
    m_recTime.setText(QString::fromStdString(FormatDuration(m_recorder.GetRSec())));
    if (m_recordingRunning && !m_recorder.IsRecording())
        EndRecording();
}

void RecordingPanel::EndRecording()
{
    if (!m_recordingRunning)
        return;
    // Cleared before the box: ticks go on while it is open and must not report again.
    m_recordingRunning = false;
    EnableSaveAs(true);
    std::string reason = m_recorder.LastError();
    if (!reason.empty())
        m_prompts.ShowMessage(kProgramBoxCaption, WithReason("Recording to " + m_saveFileName + " failed.", reason),
                             BoxIcon::Stop);
}

bool RecordingPanel::ConfirmReplacing(const std::string& caption, const std::string& path)
{
    return m_prompts.AskYesNo(caption, path + " already exists.\nDo you want to replace it?", BoxIcon::Exclamation)
           == BoxAnswer::Yes;
}

void RecordingPanel::ExchangeOutputFile(DataExchange& exchange)
{
    exchange.Text(ControlId::OutputFile, m_saveFileName);
}
