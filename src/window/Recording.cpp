#include "window/RecorderDlg.h"

#include "window/RecordingFormat.h"

#include <QLabel>
#include <cstring>
#include <filesystem>
#include <system_error>

// The recording panel: choose the MP3 file, record, pause and stop, and show
// the recorder's time and size on every timer tick.

namespace {

constexpr int kRecTimeLabel = 1029;
constexpr int kFileSizeLabel = 1030;
constexpr int kSaveButton = 1032;

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

void CRecorderDlg::OnChooseOutputFile()
{
    // Ask about the file that will really be written; "No" goes back to the
    // dialog for another name.
    for (;;) {
        std::optional<std::string> chosen = m_prompts.SaveFile(this);
        if (!chosen)
            return;
        std::string output = *chosen + kOutputExtension;
        if (!FileExists(output) || ConfirmReplacing(kSaveDialogCaption, output)) {
            m_saveFileName = output;
            m_outputConfirmed = true;
            UpdateData(false);
            return;
        }
    }
}

void CRecorderDlg::OnRecord()
{
    UpdateData(true);
    if (m_saveFileName.empty()) {
        ShowMessage(m_environment.appName, "Please Input Save File Name!", BoxIcon::Exclamation);
        return;
    }
    // A file we recorded into (or one the user did not agree to replace) is
    // not overwritten without asking.
    if (!m_outputConfirmed && FileExists(m_saveFileName) && !ConfirmReplacing(kProgramBoxCaption, m_saveFileName))
        return;

    // The recorder may shorten the name in place.
    m_recorder->SetFileName(m_saveFileName.data());
    m_saveFileName.resize(std::strlen(m_saveFileName.c_str()));

    if (!m_recorder->StartRec()) {
        // Nothing is captured: nothing may look as if it were.
        m_recordingRunning = false;
        Control(kSaveButton)->setEnabled(true);
        ShowMessage(kProgramBoxCaption,
                    WithReason("Recording to " + m_saveFileName + " could not start.", m_recorder->LastError()),
                    BoxIcon::Stop);
        return;
    }
    m_recordingRunning = true;
    m_outputConfirmed = false;
    StartTimer(RecordTimer);
    Control(kSaveButton)->setEnabled(false);
}

void CRecorderDlg::OnPauseRecording()
{
    m_recorder->PauseRec();
}

void CRecorderDlg::OnStopRecording()
{
    m_recorder->StopRec();
    EndRecording();
    Control(kSaveButton)->setEnabled(true);
}

void CRecorderDlg::RefreshRecordingLabels()
{
    auto showIn = [this](int label, const std::string& text) {
        static_cast<QLabel*>(Control(label))->setText(QString::fromStdString(text));
    };
    showIn(kFileSizeLabel, FormatSize(m_recorder->GetFileSize()));
    showIn(kRecTimeLabel, FormatDuration(m_recorder->GetRSec()));
    if (m_recordingRunning && !m_recorder->IsRecording())
        EndRecording();
}

void CRecorderDlg::EndRecording()
{
    if (!m_recordingRunning)
        return;
    // Cleared before the box: ticks go on while it is open and must not report again.
    m_recordingRunning = false;
    Control(kSaveButton)->setEnabled(true);
    std::string reason = m_recorder->LastError();
    if (!reason.empty())
        ShowMessage(kProgramBoxCaption, WithReason("Recording to " + m_saveFileName + " failed.", reason),
                    BoxIcon::Stop);
}

bool CRecorderDlg::ConfirmReplacing(const std::string& caption, const std::string& path)
{
    return AskYesNo(caption, path + " already exists.\nDo you want to replace it?", BoxIcon::Exclamation)
           == BoxAnswer::Yes;
}
