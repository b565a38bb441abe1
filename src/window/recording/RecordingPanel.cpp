#include "window/recording/RecordingPanel.h"

#include "components/recorder/Recorder.h"
#include "window/DataExchange.h"
#include "window/RecorderDlg.h"
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

RecordingPanel::RecordingPanel(CRecorderDlg& dialog, IRecorder& recorder) : m_dialog(dialog), m_recorder(recorder) {}

void RecordingPanel::EnableSaveAs(bool enable)
{
    m_dialog.Control(ControlId::SaveAs)->setEnabled(enable);
}

void RecordingPanel::ChooseOutputFile()
{
    // Ask about the file that will really be written; "No" goes back to the
    // dialog for another name.
    for (;;) {
        std::optional<std::string> chosen = m_dialog.Prompter().SaveFile(&m_dialog);
        if (!chosen)
            return;
        std::string output = *chosen + kOutputExtension;
        if (!FileExists(output) || ConfirmReplacing(kSaveDialogCaption, output)) {
            m_saveFileName = output;
            m_outputConfirmed = true;
            m_dialog.UpdateData(false);
            return;
        }
    }
}

void RecordingPanel::Record()
{
    m_dialog.UpdateData(true);
    if (m_saveFileName.empty()) {
        m_dialog.ShowMessage(m_dialog.Environment().appName, "Please Input Save File Name!", BoxIcon::Exclamation);
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
        m_dialog.ShowMessage(kProgramBoxCaption,
                             WithReason("Recording to " + m_saveFileName + " could not start.", m_recorder.LastError()),
                             BoxIcon::Stop);
        return;
    }
    m_recordingRunning = true;
    m_outputConfirmed = false;
    m_dialog.StartTimer(RecordTimer);
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
    auto showIn = [this](ControlId label, const std::string& text) {
        static_cast<QLabel*>(m_dialog.Control(label))->setText(QString::fromStdString(text));
    };
    showIn(ControlId::FileSize, FormatSize(m_recorder.GetFileSize()));
    showIn(ControlId::RecTime, FormatDuration(m_recorder.GetRSec()));
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
        m_dialog.ShowMessage(kProgramBoxCaption, WithReason("Recording to " + m_saveFileName + " failed.", reason),
                             BoxIcon::Stop);
}

bool RecordingPanel::ConfirmReplacing(const std::string& caption, const std::string& path)
{
    return m_dialog.AskYesNo(caption, path + " already exists.\nDo you want to replace it?", BoxIcon::Exclamation)
           == BoxAnswer::Yes;
}

void RecordingPanel::ExchangeOutputFile(DataExchange& exchange)
{
    exchange.Text(ControlId::OutputFile, m_saveFileName);
}
