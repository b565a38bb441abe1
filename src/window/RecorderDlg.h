// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/align/TextAligner.h"
#include "components/recorder/Recorder.h"
#include "components/takes/TakeEngines.h"
#include "resources/ControlId.h"
#include "window/BoundControls.h"
#include "window/CMediaplayer1.h"
#include "window/DialogPrompts.h"
#include "window/Prompts.h"
#include "window/WindowDispatch.h"
#include "window/WindowEnvironment.h"
#include "window/WindowTimers.h"

#include <QDialog>
#include <QIcon>
#include <QTimer>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>

class CurrentMedia;
class Drill;
class MediaProfile;
class LearningStrip;
class MediaDrop;
class TextAlignWork;
class TranscriptWork;
class MediaSession;
class MprisService;
class PausePoints;
class PlaybackSpeed;
class Preferences;
class QDBusConnection;
class QMenu;
class RecordingPanel;
class SegmentRepeat;
class SentenceFinder;
class SentenceWork;
class SettingsFile;
class Shadowing;
class TakeFeedback;
class SoundProfiler;
class SubtitleStreams;
class WaveformView;
class WindowCommands;

// System-command id of the About item.
constexpr int kAboutCommandId = 16;

// The main window. It builds its controls from the template, routes each
// command to the feature it belongs to, exchanges the bound values with the
// boxes, runs the three timers and ends in one of three ways (Close, Exit,
// Esc). The features (the media, the segment and its repeat, the pause
// points, the recording panel, the settings file, the sound profile, the
// waveform, the playback speed, shadowing, the sentences and their drill) are
// classes of their own. The window is the one place that knows them all: it
// builds each with the few collaborators it uses, so each is built after
// those (the segment before the pause points, both before Open, the waveform
// before what draws on it, shadowing before the drill that takes its turns),
// wires their signals, and adds their commands in the context menu's order.
class CRecorderDlg : public QDialog, public WindowDispatch, public WindowTimers, public BoundControls {
    Q_OBJECT
public:
    CRecorderDlg(std::unique_ptr<IRecorder> recorder, std::unique_ptr<IMediaPlayer> player,
                 std::unique_ptr<SoundProfiler> profiler, std::unique_ptr<SubtitleStreams> subtitles,
                 std::unique_ptr<TextAligner> aligner, TakeEngines takes, Prompts& prompts, WindowEnvironment environment, QWidget* parent = nullptr);
    ~CRecorderDlg() override;

    // Initialises the window, then runs it modally; returns the modal result.
    // `whenShown` runs once the window is on screen, before the work the
    // window itself leaves until then (the last media's load) and before any
    // command of the user: what the first picture does not need.
    int DoModal(std::function<void()> whenShown = {});
    // Window initialisation: settings or defaults, bound controls filled in.
    bool OnInitDialog();

    // The features, for the program's start-up and for tests.
    CurrentMedia& Media() const { return *m_media; }
    MediaSession& Opening() const { return *m_opening; }
    SegmentRepeat& Segment() const { return *m_segment; }
    PausePoints& Points() const { return *m_points; }
    RecordingPanel& Recording() const { return *m_recording; }
    CMediaplayer1& Player() { return m_player; }
    Preferences& Prefs() const { return *m_preferences; }
    // The commands that keys and the context menu reach.
    WindowCommands& Commands() const { return *m_commands; }
    MediaProfile& Profile() const { return *m_profile; }
    WaveformView& Waveform() const { return *m_waveform; }
    SentenceWork& Sentences() const { return *m_sentences; }
    Shadowing& Shadow() const { return *m_shadowing; }
    TakeFeedback& Feedback() const { return *m_feedback; }
    PlaybackSpeed& Speed() const { return *m_speed; }
    TranscriptWork& Transcript() const { return *m_transcript; }
    TextAlignWork& Alignment() const { return *m_alignment; }

    // The window as the media player on the session bus `bus`.
    std::unique_ptr<MprisService> OfferOnBus(QDBusConnection bus);

    // The control with the given id (nullptr for none).
    QWidget* Control(ControlId id) const;
    void EnablePlaybackControls(bool enable) override;
    bool UpdateData(bool fromControls) override;

    unsigned StartTimer(int id) override;
    void KillTimer(int id) override;
    bool IsTimerRunning(int id) const override;
    // Delivers one tick of the given timer, as its expiry does.
    void Tick(int id);

    // Runs one command as the framework's message dispatch does: a player
    // fault that no guard caught, or any other exception, is shown in a
    // stop-sign box and the window stays open.
    void Dispatch(const std::function<void()>& command) override;
    // While DoModal starts the window, `work` waits until it is on screen.
    void RunWhenShown(std::function<void()> work) override;

    // A system command, as the window's system menu (here its context menu) sends it.
    void SysCommand(int id);
    QMenu* SystemMenu() const;


protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class ControlEvent { Clicked, DoubleClicked, FocusLost };
    struct CommandEntry {
        ControlEvent event;
        ControlId control;
        void (*handler)(CRecorderDlg&);
    };
    static const CommandEntry s_commandTable[];

    void ConnectCommands();
    // The commands of the window's own buttons and the media keys.
    void AddWindowCommands();
    void DispatchControlEvent(const CommandEntry& entry);

    void OnTimer(int id);
    void OnClose();
    void OnExit();
    void OnAbout();

    // Constructed first and destroyed last, as the recorder engine must be.
    std::unique_ptr<IRecorder> m_recorder;
    QIcon m_hIcon;
    CMediaplayer1 m_player;
    WindowEnvironment m_environment;
    DialogPrompts m_prompts;
    std::map<ControlId, QWidget*> m_controls;
    std::array<QTimer, 3> m_timers;
    bool m_exchanging = false;

    // The features in the order they are built (and destroyed in reverse):
    // each after those it uses.
    std::unique_ptr<WindowCommands> m_commands;
    std::unique_ptr<Preferences> m_preferences;
    std::unique_ptr<CurrentMedia> m_media;
    std::unique_ptr<SegmentRepeat> m_segment;
    std::unique_ptr<PausePoints> m_points;
    std::unique_ptr<MediaSession> m_opening;
    std::unique_ptr<MediaDrop> m_drop;
    std::unique_ptr<RecordingPanel> m_recording;
    std::unique_ptr<SettingsFile> m_settings;
    std::unique_ptr<MediaProfile> m_profile;
    // A child of the player control, destroyed before the features it follows.
    std::unique_ptr<WaveformView> m_waveform;
    std::unique_ptr<PlaybackSpeed> m_speed;
    std::unique_ptr<Shadowing> m_shadowing;
    std::unique_ptr<TakeFeedback> m_feedback;
    std::unique_ptr<SentenceFinder> m_finder;
    std::unique_ptr<Drill> m_drill;
    std::unique_ptr<SentenceWork> m_sentences;
    std::unique_ptr<TranscriptWork> m_transcript;
    std::unique_ptr<TextAlignWork> m_alignment;
    std::unique_ptr<LearningStrip> m_strip;

    // While DoModal initialises the window, work that waits until it is on
    // screen; started by the first paint.
    bool m_starting = false;
    std::vector<std::function<void()>> m_whenShown;
};
