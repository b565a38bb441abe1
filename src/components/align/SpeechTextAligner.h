// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/align/TextAligner.h"
#include "components/align/WindowedAlignment.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class DecodingPass;
struct AlignmentJob;

// A text timed against the media's sound: the media decoded (on the media
// framework's thread) and the text spoken by espeak-ng (on a thread of its
// own) at the same time, both as MFCCs; meanwhile, on a third thread, the
// synthetic reading located in the recording and warped onto it window by
// window. Reports reach the GUI thread through its event loop, each with the
// sentences timed so far.
class SpeechTextAligner : public TextAligner {
    Q_OBJECT
public:
    explicit SpeechTextAligner(const WindowSettings& windows = {});
    ~SpeechTextAligner() override;

    std::vector<AlignVoice> Voices() const override;
    void Align(const std::string& mediaPath, const std::string& text, const std::string& voiceId) override;
    void Cancel() override;
    // How the first window of the last alignment that ended fitted the
    // recording (see WarpFit); none when it ended before one was warped.
    const std::optional<WarpFit>& LastFirstFit() const { return m_lastFirstFit; }

private:
    // GUI thread: `job`'s decoding has ended, or its reading failed.
    void OnPartDone(const std::shared_ptr<AlignmentJob>& job);
    // Its own thread: `job` warped as its input comes, to its end.
    void Warp(const std::shared_ptr<AlignmentJob>& job);
    void Report(const std::shared_ptr<AlignmentJob>& job, bool finished, const std::string& problem = {});
    // Queues `what` to run on the GUI thread for `job`, unless it has been
    // dropped by then.
    void Post(const std::shared_ptr<AlignmentJob>& job, std::function<void()> what);

    WindowSettings m_windows;
    mutable std::vector<AlignVoice> m_voices;
    std::shared_ptr<AlignmentJob> m_job;
    std::unique_ptr<DecodingPass> m_decoding;
    std::optional<WarpFit> m_lastFirstFit;
    // Runs `work` on a thread of its own.
    void Start(std::function<void()> work);

    // Every thread started and not yet joined; a dropped job's threads stop
    // at their next look at it, and all are joined when the aligner goes.
    struct Worker {
        std::jthread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::vector<Worker> m_workers;
};
