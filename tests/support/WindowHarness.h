// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/player/MediaPlayer.h"
#include "components/recorder/Recorder.h"
#include "fakes/FakePlayer.h"
#include "fakes/FakeRecorder.h"
#include "fakes/FakeSoundProfiler.h"
#include "fakes/FakeSubtitleStreams.h"
#include "fakes/FakeTakeEngines.h"
#include "fakes/FakeTextAligner.h"
#include "fakes/ScriptedPrompts.h"
#include "resources/ControlId.h"
#include "window/RecorderDlg.h"
#include "window/media/CurrentMedia.h"
#include "window/media/MediaSession.h"
#include "window/pausepoints/PausePoints.h"
#include "window/recording/RecordingPanel.h"
#include "window/segment/SegmentRepeat.h"

#include <QTemporaryDir>
#include <memory>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QAction;
class QLineEdit;
class QListWidget;

// Control ids in test messages.
inline std::ostream& operator<<(std::ostream& out, ControlId id)
{
    return out << static_cast<int>(id);
}

// The program's main window for tests and benchmarks: with a fake player and
// recorder unless it is given real ones, scripted prompts, and its settings
// file in a private temporary folder.
class WindowHarness {
public:
    WindowHarness();
    ~WindowHarness();

    // Builds the window (not yet initialised); a component not given is a fake.
    void Create(std::unique_ptr<IRecorder> recorder = nullptr, std::unique_ptr<IMediaPlayer> player = nullptr,
                std::unique_ptr<SoundProfiler> profiler = nullptr, TakeEngines takes = {},
                std::unique_ptr<TextAligner> aligner = nullptr);
    // Builds and initialises a new window, as a start of the program does.
    void Start(std::unique_ptr<IRecorder> recorder = nullptr, std::unique_ptr<IMediaPlayer> player = nullptr,
               std::unique_ptr<SoundProfiler> profiler = nullptr, TakeEngines takes = {},
               std::unique_ptr<TextAligner> aligner = nullptr);
    // The real player (the test fails when it cannot be built) and the real
    // recorder, capturing `input` (a GStreamer description).
    static std::unique_ptr<IMediaPlayer> RealPlayer();
    static std::unique_ptr<IRecorder> RealRecorder(const std::string& input);

    QWidget* Control(ControlId id) const;
    QAbstractButton* Button(ControlId id) const;
    QLineEdit* Edit(ControlId id) const;
    // The text of an edit box or a label.
    std::string Text(ControlId id) const;
    bool IsEnabled(ControlId id) const;
    void Click(ControlId id);
    // The focus leaves a box, as when the user clicks elsewhere.
    void LoseFocus(ControlId id);
    // The command of the context menu or one of its submenus with that text
    // (without its keys); nullptr, and a test failure, when there is none.
    QAction* MenuCommand(const QString& text) const;
    // Path of a file in the private folder.
    std::string PathIn(const std::string& name) const;

    // Opens `name` from the private folder with the Open button; `pointFile`
    // is written as the bytes of its pause-point file first, unless it is
    // nothing. Returns the path.
    std::string OpenMedia(const std::string& name, const std::optional<std::string>& pointFile = std::nullopt);
    // The pause-point list: its entries' texts, and the selected one (-1: none).
    std::vector<std::string> Entries() const;
    QListWidget* PointList() const;
    int SelectedEntry() const;
    void SelectEntry(int row);
    // Records with Save... and Record into `path` (".mp3" is appended).
    void RecordInto(const std::string& path);

    QTemporaryDir dir;
    WindowEnvironment environment;
    ScriptedPrompts prompts;
    // The fakes, when the window has them.
    FakePlayer* player = nullptr;
    FakeRecorder* recorder = nullptr;
    FakeSoundProfiler* profiler = nullptr;
    FakeSubtitleStreams* subtitles = nullptr;
    FakeTextAligner* aligner = nullptr;
    FakeTakeRecorder* takeRecorder = nullptr;
    FakeTakePlayer* takePlayer = nullptr;
    FakeTakeComparer* takeComparer = nullptr;
    std::unique_ptr<CRecorderDlg> dlg;
};
