#pragma once

#include <string>

class CRecorderDlg;
class DataExchange;
class IRecorder;

// The recording panel: Save... chooses the MP3 file, Record, Pause and Stop
// drive the recorder, and the two labels show its time and size on every
// timer tick. A recording that ends by itself (a full disk, a lost input) is
// reported once, and Save... comes back for another file.
class RecordingPanel {
public:
    RecordingPanel(CRecorderDlg& dialog, IRecorder& recorder);

    const std::string& OutputFile() const { return m_saveFileName; }

    // The commands.
    void ChooseOutputFile();
    void Record();
    void PauseRecording();
    void StopRecording();
    // Every timer tick, first: the labels show the recorder's values.
    void RefreshLabels();

    // The value bound to the output box, for the window's data exchange.
    void ExchangeOutputFile(DataExchange& exchange);

private:
    // Asks whether the existing file at `path` may be replaced.
    bool ConfirmReplacing(const std::string& caption, const std::string& path);
    // The recording we started has ended: says why when the recorder failed,
    // and lets the user choose another file.
    void EndRecording();
    void EnableSaveAs(bool enable);

    CRecorderDlg& m_dialog;
    IRecorder& m_recorder;
    std::string m_saveFileName;
    // A recording we started is running (Save... is disabled).
    bool m_recordingRunning = false;
    // The user agreed to the output file in Save... and nothing was recorded
    // into it since, so Record need not ask before replacing it.
    bool m_outputConfirmed = false;
};
