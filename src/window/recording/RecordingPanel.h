// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

class BoundControls;
class DataExchange;
class DialogPrompts;
class IRecorder;
class QLabel;
class QWidget;
class WindowTimers;

// The recording panel: Save... chooses the MP3 file, Record, Pause and Stop
// drive the recorder, and the two labels show its time and size on every
// timer tick. A recording that ends by itself (a full disk, a lost input) is
// reported once, and Save... comes back for another file.
class RecordingPanel {
public:
    // `saveAs` is the Save... button; the two labels show the recorder's
    // time and the file's size.
    RecordingPanel(IRecorder& recorder, QWidget& saveAs, QLabel& recTime, QLabel& fileSize, WindowTimers& timers,
                   BoundControls& controls, DialogPrompts& prompts);

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

    IRecorder& m_recorder;
    QWidget& m_saveAs;
    QLabel& m_recTime;
    QLabel& m_fileSize;
    WindowTimers& m_timers;
    BoundControls& m_controls;
    DialogPrompts& m_prompts;
    std::string m_saveFileName;
    // A recording we started is running (Save... is disabled).
    bool m_recordingRunning = false;
    // The user agreed to the output file in Save... and nothing was recorded
    // into it since, so Record need not ask before replacing it.
    bool m_outputConfirmed = false;
};
