#pragma once

#include "components/player/MediaPlayer.h"
#include "components/recorder/Recorder.h"
#include "fakes/ScriptedPrompts.h"
#include "window/RecorderDlg.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

// The main window with the real recorder and the real player (or a fake one
// where playing does not matter), scripted prompts, and its settings file in
// a private temporary folder.
class RealWindowTest : public testing::Test {
protected:
    // Control ids of the buttons the tests press.
    static constexpr int kOpen = 1009;
    static constexpr int kPlay = 1010;
    static constexpr int kPause = 1011;
    static constexpr int kSaveAs = 1032;
    static constexpr int kRecord = 1033;
    static constexpr int kStopRecording = 1035;
    static constexpr int kRecTimeLabel = 1029;
    static constexpr int kFileSizeLabel = 1030;

    RealWindowTest();
    ~RealWindowTest() override;

    // Builds and initialises the window, as a start of the program does.
    void Start(std::unique_ptr<IRecorder> recorder, std::unique_ptr<IMediaPlayer> player);
    // The real recorder, capturing `input` (a GStreamer description).
    static std::unique_ptr<IRecorder> RealRecorder(const std::string& input);
    // The real player; fails the test when it cannot be built.
    static std::unique_ptr<IMediaPlayer> RealPlayer();

    void Click(int id);
    bool IsEnabled(int id) const;
    std::string LabelText(int id) const;
    std::string PathIn(const std::string& name) const;

    // Lets the window run (timers tick) until `condition` holds; false when
    // `timeout` passed first.
    bool RunUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
    // Records with Save... and Record into `path` (".mp3" is appended).
    void RecordInto(const std::string& path);

    QTemporaryDir dir;
    WindowEnvironment environment;
    ScriptedPrompts prompts;
    std::unique_ptr<CRecorderDlg> dlg;
};
