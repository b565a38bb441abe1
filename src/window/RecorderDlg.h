#pragma once

#include "components/player/CMediaplayer1.h"
#include "components/recorder/Recorder.h"
#include "window/Prompts.h"
#include "window/WindowEnvironment.h"

#include <QDialog>
#include <QIcon>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class PlayerFault;
class QLineEdit;
class QListWidget;
class QMenu;

// Ids of the window's three 100 ms timers.
enum TimerId : int { RecordTimer = 0, RepeatTimer = 1, PointTimer = 2 };

// System-command id of the About item.
constexpr int kAboutCommandId = 16;

// Caption of the program's own message boxes.
constexpr const char* kProgramBoxCaption = "Kestwin Software Inc";

// The main window: the player, the repeat-reading panel, the recording panel
// and the pause points of the current media.
class CRecorderDlg : public QDialog {
    Q_OBJECT
public:
    CRecorderDlg(std::unique_ptr<IRecorder> recorder, std::unique_ptr<IMediaPlayer> player, Prompts& prompts,
                 WindowEnvironment environment, QWidget* parent = nullptr);
    ~CRecorderDlg() override;

    // Initialises the window, then runs it modally; returns the modal result.
    int DoModal();
    // Window initialisation: settings or defaults, bound controls filled in.
    bool OnInitDialog();

    // The control with the given template id (nullptr for none).
    QWidget* Control(int id) const;
    // Window timers, started and killed by id; a start returns the id.
    unsigned StartTimer(int id);
    void KillTimer(int id);
    bool IsTimerRunning(int id) const;
    // Delivers one tick of the given timer, as its expiry does.
    void Tick(int id);
    // A system command, as the window's system menu (here its context menu) sends it.
    void SysCommand(int id);
    QMenu* SystemMenu() const { return m_systemMenu; }

    // ---- The window's state record, in declaration order. ----
    std::unique_ptr<IRecorder> m_recorder;
    QIcon m_hIcon;
    QLineEdit* m_pathEdit = nullptr;
    QListWidget* m_pointList = nullptr;
    double m_startTimeShown = 0;
    double m_endTimeShown = 0;
    double m_startTime = 0;
    double m_endTime = 0;
    // Pause-point times in list order; entry i of m_pointList shows entry i.
    std::vector<double> m_pausePoints;
    std::string m_pointFilePath;
    bool m_pointsModified = false;
    std::string m_mediaPath;
    CMediaplayer1 m_player;
    unsigned m_repeatTimerId = 0;
    double m_leadIn = 0;
    double m_pointStep = 0;
    double m_timeStep = 0;
    std::string m_saveFileName;

    // Index of the last pause point; -1 when there is none.
    int LastPointIndex() const { return static_cast<int>(m_pausePoints.size()) - 1; }

    // ---- Shared operations of the window. ----
    // Data exchange: towards the controls (false) or from them (true). Returns
    // false when a time box does not hold a number.
    bool UpdateData(bool fromControls);
    void EnablePlaybackControls(bool enable);

    // Pause-point file of the current media. WritePausePoints returns whether
    // the file was written; a failure is shown with the system's reason and
    // the points stay marked modified.
    void LoadPausePoints();
    bool WritePausePoints();
    // Returns false only when the user asked for a save that failed.
    bool OfferToSavePausePoints();

    // Settings file.
    bool LoadSettings();
    void SaveSettings();
    // Loads the media the settings named, stopped; a fault is shown and
    // turns the playback controls off.
    void ReopenMedia();

    // Shows the details of a player fault; returns whether the reaction runs.
    bool ReportException(const PlayerFault& fault);

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Handler = void (CRecorderDlg::*)();
    enum class ControlEvent { Clicked, DoubleClicked, FocusLost };
    struct CommandEntry {
        ControlEvent event;
        int controlId;
        Handler handler;
    };
    static const CommandEntry s_commandTable[];

    enum class FaultReaction { ReportAndDisable, DisableQuietly, Ignore };

    void ConnectCommands();
    // Runs one handler as the framework's message dispatch does: a player fault
    // that no guard caught is reported in a stop-sign box and the window stays open.
    void Dispatch(const std::function<void()>& handler);
    void DispatchControlEvent(Handler handler);
    // Runs `steps`; on a player fault skips the rest and runs `reaction`.
    void GuardedPlayerCall(const std::function<void()>& steps, FaultReaction reaction, BoxIcon icon);

    void ShowMessage(const std::string& caption, const std::string& text, BoxIcon icon);
    BoxAnswer AskYesNo(const std::string& caption, const std::string& text, BoxIcon icon);
    void InstallDefaults();

    // Timer tick and the three ways of ending.
    void OnTimer(int id);
    void OnClose();
    void OnExit();
    void OnAbout();

    // Opening media.
    void OnOpen();

    // Playback and segment repeat.
    void OnPlay();
    void OnPause();
    void OnStop();
    void OnMarkStart();
    void OnMarkEnd();
    void OnStartEarlier();
    void OnStartLater();
    void OnEndEarlier();
    void OnEndLater();
    void OnTakeStartTime();
    void OnTakeEndTime();
    void OnRepeat();
    void CheckSegmentEnd();

    // Recording.
    void OnChooseOutputFile();
    void OnRecord();
    void OnPauseRecording();
    void OnStopRecording();
    void RefreshRecordingLabels();
    // Asks whether the existing file at `path` may be replaced.
    bool ConfirmReplacing(const std::string& caption, const std::string& path);
    // The recording we started has ended: says why when the recorder failed,
    // and lets the user choose another file.
    void EndRecording();
    // A recording we started is running (Save... is disabled).
    bool m_recordingRunning = false;
    // The user agreed to the output file in Save... and nothing was recorded
    // into it since, so Record need not ask before replacing it.
    bool m_outputConfirmed = false;

    // Pause-point commands.
    void OnAddPausePoint();
    void OnDeletePausePoint();
    void OnPausePointEarlier();
    void OnPausePointLater();
    void OnReplayPausePoint();
    void OnNextPausePoint();
    void OnSavePausePoints();
    void CheckPausePointSegment();
    // The list and m_pausePoints, kept in step.
    void AppendPausePoint(double seconds, const std::string& entryText);
    int SelectedPausePoint() const;  // -1 when none is selected
    void SelectPausePoint(int index); // -1 selects none
    void NudgePausePoint(int direction); // -1 earlier, +1 later by m_pointStep

    Prompts& m_prompts;
    WindowEnvironment m_environment;
    std::map<int, QWidget*> m_controls;
    std::array<QTimer, 3> m_timers;
    QMenu* m_systemMenu = nullptr;
    bool m_exchanging = false;
    // Set while DoModal initialises the window: the settings' media is then
    // loaded once the window has been painted, so that it shows at once.
    bool m_reopenMediaWhenShown = false;
    bool m_mediaReopenPending = false;
};
