// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/takes/TakeRecorder.h"

#include <QTimer>
#include <memory>
#include <string>

class CaptureSession;

// Takes recorded by the recorder's own capture session (its format, its file
// forced to the disk each second) into "<folder>/.<name>.part", watched by a
// VoiceActivity on the capture's streaming thread; the complete take is
// renamed to its own name.
class GstTakeRecorder : public TakeRecorder {
    Q_OBJECT
public:
    explicit GstTakeRecorder(std::string input);
    ~GstTakeRecorder() override;

    bool Record(const std::string& path, double longestSeconds) override;
    void Cancel() override;
    bool IsRecording() const override;
    std::string LastError() const override { return m_error; }

    // Where a take named `path` is written until it is complete.
    static std::string PartialPath(const std::string& path);

private:
    // The voice activity said the take is over (on the GUI thread).
    void OnOver(bool spoke);
    // Every 100 ms while recording: a capture that ended by itself failed.
    void CheckCapture();
    void End(Outcome outcome);
    // Why the take was not kept, in full.
    std::string NotKept(const std::string& cause) const;

    std::string m_input;
    std::string m_path;
    std::string m_error;
    // Counts the takes, so that the verdict on an ended one never ends the next.
    int m_takes = 0;
    QTimer m_watch;
    std::unique_ptr<CaptureSession> m_session;
};
