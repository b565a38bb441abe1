#include "window/RecorderDlg.h"

#include "app/AboutDlg.h"
#include "app/AppIcon.h"
#include "components/player/PlayerFault.h"
#include "resources/DialogTemplates.h"
#include "window/DialogBuilder.h"
#include "window/NumberText.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>

namespace {

constexpr int kTimerPeriodMs = 100;

// Controls enabled and disabled together by EnablePlaybackControls.
constexpr int kPlaybackControlGroup[] = {1008, 1010, 1011, 1012, 1013, 1014, 1015, 1016, 1017, 1018};

// Time boxes and the values bound to them, in exchange order.
constexpr int kStartTimeBox = 1002;
constexpr int kEndTimeBox = 1003;
constexpr int kLeadInBox = 1006;
constexpr int kPointStepBox = 1005;
constexpr int kTimeStepBox = 1004;
constexpr int kSaveFileBox = 1031;

// A time box holds at most this many characters when it is read.
constexpr int kExchangeTextLimit = 399;

} // namespace

const CRecorderDlg::CommandEntry CRecorderDlg::s_commandTable[] = {
    {ControlEvent::Clicked, 1009, &CRecorderDlg::OnOpen},
    {ControlEvent::Clicked, 1010, &CRecorderDlg::OnPlay},
    {ControlEvent::Clicked, 1026, &CRecorderDlg::OnPlay},
    {ControlEvent::Clicked, 1008, &CRecorderDlg::OnSavePausePoints},
    {ControlEvent::Clicked, 1013, &CRecorderDlg::OnAddPausePoint},
    {ControlEvent::Clicked, 1011, &CRecorderDlg::OnPause},
    {ControlEvent::Clicked, 1012, &CRecorderDlg::OnRepeat},
    {ControlEvent::Clicked, 1017, &CRecorderDlg::OnReplayPausePoint},
    {ControlEvent::Clicked, 1014, &CRecorderDlg::OnDeletePausePoint},
    {ControlEvent::Clicked, 1015, &CRecorderDlg::OnPausePointEarlier},
    {ControlEvent::Clicked, 1016, &CRecorderDlg::OnPausePointLater},
    {ControlEvent::Clicked, 1018, &CRecorderDlg::OnNextPausePoint},
    {ControlEvent::DoubleClicked, 1007, &CRecorderDlg::OnReplayPausePoint},
    {ControlEvent::Clicked, 1019, &CRecorderDlg::OnStartEarlier},
    {ControlEvent::Clicked, 1020, &CRecorderDlg::OnStartLater},
    {ControlEvent::Clicked, 1021, &CRecorderDlg::OnEndEarlier},
    {ControlEvent::Clicked, 1022, &CRecorderDlg::OnEndLater},
    {ControlEvent::FocusLost, 1002, &CRecorderDlg::OnTakeStartTime},
    {ControlEvent::FocusLost, 1003, &CRecorderDlg::OnTakeEndTime},
    {ControlEvent::Clicked, 1023, &CRecorderDlg::OnMarkStart},
    {ControlEvent::Clicked, 1024, &CRecorderDlg::OnMarkEnd},
    {ControlEvent::Clicked, 1032, &CRecorderDlg::OnChooseOutputFile},
    {ControlEvent::Clicked, 1033, &CRecorderDlg::OnRecord},
    {ControlEvent::Clicked, 1034, &CRecorderDlg::OnPauseRecording},
    {ControlEvent::Clicked, 1035, &CRecorderDlg::OnStopRecording},
    {ControlEvent::Clicked, 1038, &CRecorderDlg::OnStop},
    {ControlEvent::Clicked, 1028, &CRecorderDlg::OnExit},
    {ControlEvent::Clicked, 1036, &CRecorderDlg::OnAbout},
};

CRecorderDlg::CRecorderDlg(std::unique_ptr<IRecorder> recorder, std::unique_ptr<IMediaPlayer> player,
                           Prompts& prompts, WindowEnvironment environment, QWidget* parent)
    : QDialog(parent),
      m_recorder(std::move(recorder)),
      m_hIcon(AppIcon()),
      m_player(std::move(player), this),
      m_prompts(prompts),
      m_environment(std::move(environment))
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(m_hIcon);
    m_controls = BuildControls(this, MainDialogTemplate(), {{1000, &m_player}});
    for (std::size_t id = 0; id < m_timers.size(); ++id) {
        m_timers[id].setTimerType(Qt::PreciseTimer);
        m_timers[id].setInterval(kTimerPeriodMs);
        connect(&m_timers[id], &QTimer::timeout, this, [this, id] { Tick(static_cast<int>(id)); });
    }
    ConnectCommands();
}

CRecorderDlg::~CRecorderDlg() = default;

void CRecorderDlg::ConnectCommands()
{
    for (const CommandEntry& entry : s_commandTable) {
        QWidget* control = Control(entry.controlId);
        Handler handler = entry.handler;
        switch (entry.event) {
        case ControlEvent::Clicked:
            connect(static_cast<QAbstractButton*>(control), &QAbstractButton::clicked, this,
                    [this, handler] { DispatchControlEvent(handler); });
            break;
        case ControlEvent::DoubleClicked:
            connect(static_cast<QListWidget*>(control), &QListWidget::itemDoubleClicked, this,
                    [this, handler] { DispatchControlEvent(handler); });
            break;
        case ControlEvent::FocusLost: control->installEventFilter(this); break;
        }
    }
}

bool CRecorderDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        int id = watched->property("controlId").toInt();
        for (const CommandEntry& entry : s_commandTable) {
            if (entry.event == ControlEvent::FocusLost && entry.controlId == id)
                DispatchControlEvent(entry.handler);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CRecorderDlg::Dispatch(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const PlayerFault& fault) {
        ShowMessage(m_environment.appName, fault.what(), BoxIcon::Stop);
    }
}

void CRecorderDlg::DispatchControlEvent(Handler handler)
{
    // Notifications raised while data is exchanged (a box taking the focus
    // away from a time box) are not commands of the user.
    if (m_exchanging)
        return;
    Dispatch([this, handler] { (this->*handler)(); });
}

QWidget* CRecorderDlg::Control(int id) const
{
    auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

int CRecorderDlg::DoModal()
{
    m_reopenMediaWhenShown = true;
    OnInitDialog();
    m_reopenMediaWhenShown = false;
    return exec();
}

void CRecorderDlg::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    // The window is on screen: the media the settings name is loaded next,
    // before any command of the user.
    if (m_mediaReopenPending) {
        m_mediaReopenPending = false;
        QTimer::singleShot(0, this, [this] { Dispatch([this] { ReopenMedia(); }); });
    }
}

bool CRecorderDlg::OnInitDialog()
{
    m_pathEdit = static_cast<QLineEdit*>(Control(1001));
    m_pointList = static_cast<QListWidget*>(Control(1007));
    UpdateData(false);

    // Linux window managers offer no system menu to extend; the About item
    // lives in the window's context menu instead.
    m_systemMenu = new QMenu(this);
    QAction* about = m_systemMenu->addAction(QStringLiteral("关于 Ardeno Audio Recorder(&A)..."));
    connect(about, &QAction::triggered, this, [this] { SysCommand(kAboutCommandId); });

    setWindowIcon(m_hIcon);

    Dispatch([this] {
        if (!LoadSettings())
            InstallDefaults();
    });

    m_pathEdit->setText(QString::fromStdString(m_mediaPath));
    UpdateData(false);
    m_prompts.OpenUrl(m_environment.homePageUrl);
    Control(kStartTimeBox)->setFocus();
    return true;
}

void CRecorderDlg::InstallDefaults()
{
    m_startTime = 0;
    m_endTime = 0;
    m_timeStep = 0.5;
    m_pointStep = 0.5;
    m_leadIn = 0.33;
    m_mediaPath = "D:\\AllMediaFile.mp3";
    EnablePlaybackControls(false);
    m_pointFilePath = "D:\\AllMediaFile1.txt";
    m_pausePoints.clear();
    m_pointsModified = false;
}

void CRecorderDlg::EnablePlaybackControls(bool enable)
{
    for (int id : kPlaybackControlGroup)
        Control(id)->setEnabled(enable);
}

bool CRecorderDlg::UpdateData(bool fromControls)
{
    struct TimeBinding {
        int id;
        double* value;
    };
    const TimeBinding times[] = {{kStartTimeBox, &m_startTimeShown}, {kEndTimeBox, &m_endTimeShown},
                                 {kLeadInBox, &m_leadIn},            {kPointStepBox, &m_pointStep},
                                 {kTimeStepBox, &m_timeStep}};
    auto* saveFileBox = static_cast<QLineEdit*>(Control(kSaveFileBox));

    m_exchanging = true;
    bool ok = true;
    if (!fromControls) {
        for (const TimeBinding& binding : times) {
            auto* box = static_cast<QLineEdit*>(Control(binding.id));
            QString text = QString::fromStdString(FormatShownTime(*binding.value));
            if (box->text() != text)
                box->setText(text);
        }
        QString saveFile = QString::fromStdString(m_saveFileName);
        if (saveFileBox->text() != saveFile)
            saveFileBox->setText(saveFile);
    } else {
        for (const TimeBinding& binding : times) {
            auto* box = static_cast<QLineEdit*>(Control(binding.id));
            std::optional<double> value = ParseLeadingNumber(box->text().left(kExchangeTextLimit).toStdString());
            if (!value) {
                ShowMessage(m_environment.appName, "Please enter a number.", BoxIcon::Exclamation);
                box->setFocus();
                box->selectAll();
                ok = false;
                break;
            }
            *binding.value = *value;
        }
        if (ok)
            m_saveFileName = saveFileBox->text().toStdString();
    }
    m_exchanging = false;
    return ok;
}

unsigned CRecorderDlg::StartTimer(int id)
{
    m_timers.at(id).start();
    return static_cast<unsigned>(id);
}

void CRecorderDlg::KillTimer(int id)
{
    if (id >= 0 && static_cast<std::size_t>(id) < m_timers.size())
        m_timers[id].stop();
}

bool CRecorderDlg::IsTimerRunning(int id) const
{
    return m_timers.at(id).isActive();
}

void CRecorderDlg::Tick(int id)
{
    Dispatch([this, id] { OnTimer(id); });
}

void CRecorderDlg::OnTimer(int id)
{
    RefreshRecordingLabels();
    if (id == RepeatTimer)
        CheckSegmentEnd();
    else
        CheckPausePointSegment();
}

void CRecorderDlg::ShowMessage(const std::string& caption, const std::string& text, BoxIcon icon)
{
    m_prompts.MessageBox(this, caption, text, BoxButtons::Ok, icon);
}

BoxAnswer CRecorderDlg::AskYesNo(const std::string& caption, const std::string& text, BoxIcon icon)
{
    return m_prompts.MessageBox(this, caption, text, BoxButtons::YesNo, icon);
}

void CRecorderDlg::SysCommand(int id)
{
    if ((id & 0xFFF0) == kAboutCommandId)
        Dispatch([this] { OnAbout(); });
}

void CRecorderDlg::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_systemMenu)
        m_systemMenu->exec(event->globalPos());
}

void CRecorderDlg::OnAbout()
{
    CAboutDlg about(m_hIcon, this);
    about.exec();
}

void CRecorderDlg::closeEvent(QCloseEvent* event)
{
    // The Close steps decide whether the window ends; a fault in them keeps it open.
    event->ignore();
    Dispatch([this] { OnClose(); });
}

void CRecorderDlg::OnClose()
{
    m_player.Stop();
    SaveSettings();
    // A failed save of the pause points keeps the window open, so they are not lost.
    if (!OfferToSavePausePoints())
        return;
    reject();
}

void CRecorderDlg::OnExit()
{
    KillTimer(RecordTimer);
    KillTimer(RepeatTimer);
    KillTimer(PointTimer);
    done(0);
}
