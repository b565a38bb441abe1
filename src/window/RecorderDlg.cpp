#include "window/RecorderDlg.h"

#include "components/profile/SoundProfiler.h"
#include "resources/DialogTemplates.h"
#include "window/AboutDlg.h"
#include "app/AppIcon.h"
#include "window/DataExchange.h"
#include "window/DialogBuilder.h"
#include "window/commands/WindowCommandTable.h"
#include "window/commands/WindowCommands.h"
#include "window/media/MediaProfile.h"
#include "window/media/MediaSession.h"
#include "window/pausepoints/PausePoints.h"
#include "window/preferences/Preferences.h"
#include "window/recording/RecordingPanel.h"
#include "window/segment/SegmentRepeat.h"
#include "window/sentences/SentenceWork.h"
#include "window/settings/SettingsFile.h"
#include "window/shadowing/Shadowing.h"
#include "window/speed/PlaybackSpeed.h"
#include "window/waveform/WaveformView.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>

namespace {

constexpr int kTimerPeriodMs = 100;

} // namespace

// Every command of the window's controls and the feature that handles it.
const CRecorderDlg::CommandEntry CRecorderDlg::s_commandTable[] = {
    {ControlEvent::Clicked, ControlId::Open, [](CRecorderDlg& d) { d.Media().Open(); }},
    {ControlEvent::Clicked, ControlId::Play, [](CRecorderDlg& d) { d.Segment().Play(); }},
    {ControlEvent::Clicked, ControlId::TopPlay, [](CRecorderDlg& d) { d.Segment().Play(); }},
    {ControlEvent::Clicked, ControlId::SavePoints, [](CRecorderDlg& d) { d.Points().Save(); }},
    {ControlEvent::Clicked, ControlId::AddPoint, [](CRecorderDlg& d) { d.Points().Add(); }},
    {ControlEvent::Clicked, ControlId::Pause, [](CRecorderDlg& d) { d.Segment().Pause(); }},
    {ControlEvent::Clicked, ControlId::Repeat, [](CRecorderDlg& d) { d.Segment().Repeat(); }},
    {ControlEvent::Clicked, ControlId::ReplayPoint, [](CRecorderDlg& d) { d.Points().Replay(); }},
    {ControlEvent::Clicked, ControlId::DeletePoint, [](CRecorderDlg& d) { d.Points().Delete(); }},
    {ControlEvent::Clicked, ControlId::PointEarlier, [](CRecorderDlg& d) { d.Points().Earlier(); }},
    {ControlEvent::Clicked, ControlId::PointLater, [](CRecorderDlg& d) { d.Points().Later(); }},
    {ControlEvent::Clicked, ControlId::NextPoint, [](CRecorderDlg& d) { d.Points().Next(); }},
    {ControlEvent::DoubleClicked, ControlId::PointList, [](CRecorderDlg& d) { d.Points().Replay(); }},
    {ControlEvent::Clicked, ControlId::StartEarlier, [](CRecorderDlg& d) { d.Segment().StartEarlier(); }},
    {ControlEvent::Clicked, ControlId::StartLater, [](CRecorderDlg& d) { d.Segment().StartLater(); }},
    {ControlEvent::Clicked, ControlId::EndEarlier, [](CRecorderDlg& d) { d.Segment().EndEarlier(); }},
    {ControlEvent::Clicked, ControlId::EndLater, [](CRecorderDlg& d) { d.Segment().EndLater(); }},
    {ControlEvent::FocusLost, ControlId::StartTime, [](CRecorderDlg& d) { d.Segment().TakeStartTime(); }},
    {ControlEvent::FocusLost, ControlId::EndTime, [](CRecorderDlg& d) { d.Segment().TakeEndTime(); }},
    {ControlEvent::Clicked, ControlId::MarkStart, [](CRecorderDlg& d) { d.Segment().MarkStart(); }},
    {ControlEvent::Clicked, ControlId::MarkEnd, [](CRecorderDlg& d) { d.Segment().MarkEnd(); }},
    {ControlEvent::Clicked, ControlId::SaveAs, [](CRecorderDlg& d) { d.Recording().ChooseOutputFile(); }},
    {ControlEvent::Clicked, ControlId::Record, [](CRecorderDlg& d) { d.Recording().Record(); }},
    {ControlEvent::Clicked, ControlId::PauseRecording, [](CRecorderDlg& d) { d.Recording().PauseRecording(); }},
    {ControlEvent::Clicked, ControlId::StopRecording, [](CRecorderDlg& d) { d.Recording().StopRecording(); }},
    {ControlEvent::Clicked, ControlId::TopStop, [](CRecorderDlg& d) { d.Segment().Stop(); }},
    {ControlEvent::Clicked, ControlId::Exit, [](CRecorderDlg& d) { d.OnExit(); }},
    {ControlEvent::Clicked, ControlId::About, [](CRecorderDlg& d) { d.OnAbout(); }},
};

CRecorderDlg::CRecorderDlg(std::unique_ptr<IRecorder> recorder, std::unique_ptr<IMediaPlayer> player,
                           std::unique_ptr<SoundProfiler> profiler, TakeEngines takes, Prompts& prompts,
                           WindowEnvironment environment, QWidget* parent)
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
    m_controls = BuildControls(this, MainDialogTemplate(), {{ControlId::Player, &m_player}});
    for (std::size_t id = 0; id < m_timers.size(); ++id) {
        m_timers[id].setTimerType(Qt::PreciseTimer);
        m_timers[id].setInterval(kTimerPeriodMs);
        connect(&m_timers[id], &QTimer::timeout, this, [this, id] { Tick(static_cast<int>(id)); });
    }
    m_commands = std::make_unique<WindowCommands>(*this);
    AddWindowCommands(*m_commands, *this);

    m_preferences = std::make_unique<Preferences>(m_environment.preferencesPath);
    m_media = std::make_unique<MediaSession>(*this, m_player);
    m_segment = std::make_unique<SegmentRepeat>(*this, m_player);
    m_points = std::make_unique<PausePoints>(*this, m_player,
                                             *static_cast<QListWidget*>(Control(ControlId::PointList)));
    m_recording = std::make_unique<RecordingPanel>(*this, *m_recorder);
    m_settings = std::make_unique<SettingsFile>(*this, m_environment.settingsPath, m_environment.initialSettingsPath);
    m_profile = std::make_unique<MediaProfile>(*this, std::move(profiler));
    m_waveform = std::make_unique<WaveformView>(*this, *m_profile);
    m_sentences = std::make_unique<SentenceWork>(*this);
    m_shadowing = std::make_unique<Shadowing>(*this, std::move(takes));
    m_speed = std::make_unique<PlaybackSpeed>(*this, m_player);
    ConnectCommands();
}

CRecorderDlg::~CRecorderDlg() = default;

void CRecorderDlg::ConnectCommands()
{
    for (const CommandEntry& entry : s_commandTable) {
        QWidget* control = Control(entry.control);
        switch (entry.event) {
        case ControlEvent::Clicked:
            connect(static_cast<QAbstractButton*>(control), &QAbstractButton::clicked, this,
                    [this, &entry] { DispatchControlEvent(entry); });
            break;
        case ControlEvent::DoubleClicked:
            connect(static_cast<QListWidget*>(control), &QListWidget::itemDoubleClicked, this,
                    [this, &entry] { DispatchControlEvent(entry); });
            break;
        case ControlEvent::FocusLost: control->installEventFilter(this); break;
        }
    }
}

bool CRecorderDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        auto control = static_cast<ControlId>(watched->property("controlId").toInt());
        for (const CommandEntry& entry : s_commandTable) {
            if (entry.event == ControlEvent::FocusLost && entry.control == control)
                DispatchControlEvent(entry);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CRecorderDlg::Dispatch(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        // A player fault no guard caught, or any other failure (memory, the
        // standard library): said in the box, and the window stays open.
        ShowMessage(m_environment.appName, error.what(), BoxIcon::Stop);
    } catch (...) {
        ShowMessage(m_environment.appName, "The command failed for a reason the program could not name.",
                    BoxIcon::Stop);
    }
}

void CRecorderDlg::DispatchControlEvent(const CommandEntry& entry)
{
    // Notifications raised while data is exchanged (a box taking the focus
    // away from a time box) are not commands of the user.
    if (m_exchanging)
        return;
    Dispatch([this, &entry] { entry.handler(*this); });
}

QWidget* CRecorderDlg::Control(ControlId id) const
{
    auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

int CRecorderDlg::DoModal()
{
    m_starting = true;
    OnInitDialog();
    m_starting = false;
    return exec();
}

void CRecorderDlg::RunWhenShown(std::function<void()> work)
{
    if (m_starting)
        m_whenShown.push_back(std::move(work));
    else
        work();
}

void CRecorderDlg::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    // The window is on screen: what waited for it runs next, before any
    // command of the user.
    if (m_whenShown.empty())
        return;
    QTimer::singleShot(0, this, [this, work = std::exchange(m_whenShown, {})] {
        for (const auto& step : work)
            Dispatch(step);
    });
}

bool CRecorderDlg::OnInitDialog()
{
    UpdateData(false);

    // Linux window managers offer no system menu to extend; the About item
    // ends the window's context menu instead, after the commands.
    QMenu* menu = SystemMenu();
    menu->addSeparator();
    QAction* about = menu->addAction(QStringLiteral("关于 Ardeno Audio Recorder(&A)..."));
    connect(about, &QAction::triggered, this, [this] { SysCommand(kAboutCommandId); });

    setWindowIcon(m_hIcon);

    Dispatch([this] {
        if (!m_settings->LoadSettings())
            m_settings->InstallDefaults();
    });

    UpdateData(false);
    m_prompts.OpenUrl(m_environment.homePageUrl);
    Control(ControlId::StartTime)->setFocus();
    return true;
}

void CRecorderDlg::EnablePlaybackControls(bool enable)
{
    for (ControlId id : kPlaybackControlGroup)
        Control(id)->setEnabled(enable);
}

bool CRecorderDlg::UpdateData(bool fromControls)
{
    m_exchanging = true;
    DataExchange exchange(*this, fromControls ? DataExchange::Direction::FromControls
                                              : DataExchange::Direction::ToControls);
    // The bound values in their exchange order: the two shown times, the
    // lead-in, the two steps, the output file.
    m_segment->ExchangeShownTimes(exchange);
    m_points->ExchangeSteps(exchange);
    m_segment->ExchangeStep(exchange);
    m_recording->ExchangeOutputFile(exchange);
    m_exchanging = false;
    return exchange.Succeeded();
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
    m_recording->RefreshLabels();
    if (id == RepeatTimer)
        m_segment->CheckSegmentEnd();
    else
        m_points->CheckSegment();
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

QMenu* CRecorderDlg::SystemMenu() const
{
    return &m_commands->Menu();
}

void CRecorderDlg::contextMenuEvent(QContextMenuEvent* event)
{
    SystemMenu()->exec(event->globalPos());
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
    // A player that fails to stop is reported, and the settings are saved
    // all the same.
    Dispatch([this] { m_player.Stop(); });
    m_settings->SaveSettings();
    // A failed save of the pause points keeps the window open, so they are not lost.
    if (!m_points->OfferToSavePausePoints())
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
