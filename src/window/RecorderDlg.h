#pragma once

#include "components/recorder/Recorder.h"
#include "components/takes/TakeEngines.h"
#include "resources/ControlId.h"
#include "window/CMediaplayer1.h"
#include "window/Prompts.h"
#include "window/WindowEnvironment.h"

#include <QDialog>
#include <QIcon>
#include <QTimer>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>

class MediaProfile;
class MediaSession;
class PausePoints;
class PlaybackSpeed;
class Preferences;
class QMenu;
class RecordingPanel;
class SegmentRepeat;
class SentenceWork;
class SettingsFile;
class Shadowing;
class SoundProfiler;
class WaveformView;
class WindowCommands;

// Ids of the window's three 100 ms timers.
enum TimerId : int { RecordTimer = 0, RepeatTimer = 1, PointTimer = 2 };

// System-command id of the About item.
constexpr int kAboutCommandId = 16;

// Caption of the program's own message boxes.
constexpr const char* kProgramBoxCaption = "Kestwin Software Inc";

// The main window. It builds its controls from the template, routes each
// command to the feature it belongs to, exchanges the bound values with the
// boxes, runs the three timers and ends in one of three ways (Close, Exit,
// Esc). The features themselves (the media, the segment and its repeat, the
// pause points, the recording panel, the settings file, the waveform, the
// playback speed) are classes of their own that the window owns.
class CRecorderDlg : public QDialog {
    Q_OBJECT
public:
    CRecorderDlg(std::unique_ptr<IRecorder> recorder, std::unique_ptr<IMediaPlayer> player,
                 std::unique_ptr<SoundProfiler> profiler, TakeEngines takes, Prompts& prompts,
                 WindowEnvironment environment, QWidget* parent = nullptr);
    ~CRecorderDlg() override;

    // Initialises the window, then runs it modally; returns the modal result.
    int DoModal();
    // Window initialisation: settings or defaults, bound controls filled in.
    bool OnInitDialog();

    // The features, for the commands and views that work with them.
    MediaSession& Media() const { return *m_media; }
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
    PlaybackSpeed& Speed() const { return *m_speed; }

    // The control with the given id (nullptr for none).
    QWidget* Control(ControlId id) const;
    void EnablePlaybackControls(bool enable);
    // Data exchange: towards the controls (false) or from them (true). Returns
    // false when a time box does not hold a number.
    bool UpdateData(bool fromControls);

    // Window timers, started and killed by id; a start returns the id.
    unsigned StartTimer(int id);
    void KillTimer(int id);
    bool IsTimerRunning(int id) const;
    // Delivers one tick of the given timer, as its expiry does.
    void Tick(int id);

    // Runs one command as the framework's message dispatch does: a player
    // fault that no guard caught, or any other exception, is shown in a
    // stop-sign box and the window stays open.
    void Dispatch(const std::function<void()>& command);
    // Runs `work` once the window is on screen when it is being started by
    // DoModal (so that slow work does not keep it off the screen); at once
    // otherwise.
    void RunWhenShown(std::function<void()> work);

    // A system command, as the window's system menu (here its context menu) sends it.
    void SysCommand(int id);
    QMenu* SystemMenu() const;

    void ShowMessage(const std::string& caption, const std::string& text, BoxIcon icon);
    BoxAnswer AskYesNo(const std::string& caption, const std::string& text, BoxIcon icon);
    Prompts& Prompter() const { return m_prompts; }
    const WindowEnvironment& Environment() const { return m_environment; }

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
    void DispatchControlEvent(const CommandEntry& entry);

    void OnTimer(int id);
    void OnClose();
    void OnExit();
    void OnAbout();

    // Constructed first and destroyed last, as the recorder engine must be.
    std::unique_ptr<IRecorder> m_recorder;
    QIcon m_hIcon;
    CMediaplayer1 m_player;
    Prompts& m_prompts;
    WindowEnvironment m_environment;
    std::map<ControlId, QWidget*> m_controls;
    std::array<QTimer, 3> m_timers;
    bool m_exchanging = false;

    std::unique_ptr<WindowCommands> m_commands;
    std::unique_ptr<Preferences> m_preferences;
    std::unique_ptr<MediaSession> m_media;
    std::unique_ptr<SegmentRepeat> m_segment;
    std::unique_ptr<PausePoints> m_points;
    std::unique_ptr<RecordingPanel> m_recording;
    std::unique_ptr<SettingsFile> m_settings;
    std::unique_ptr<MediaProfile> m_profile;
    // A child of the player control, destroyed before the features it follows.
    std::unique_ptr<WaveformView> m_waveform;
    // Made after the sentences, so that its command follows theirs; the
    // drill uses it until the drill goes.
    std::unique_ptr<Shadowing> m_shadowing;
    std::unique_ptr<SentenceWork> m_sentences;
    std::unique_ptr<PlaybackSpeed> m_speed;

    // While DoModal initialises the window, work that waits until it is on
    // screen; started by the first paint.
    bool m_starting = false;
    std::vector<std::function<void()>> m_whenShown;
};
