// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/RecorderDlg.h"

#include "components/profile/SoundProfiler.h"
#include "resources/DialogTemplates.h"
#include "window/AboutDlg.h"
#include "app/AppIcon.h"
#include "window/DataExchange.h"
#include "window/DialogBuilder.h"
#include "window/commands/WindowCommands.h"
#include "window/media/CurrentMedia.h"
#include "window/media/MediaProfile.h"
#include "window/commands/LearningStrip.h"
#include "window/media/MediaDrop.h"
#include "window/transcript/TranscriptWork.h"
#include "window/align/TextAlignWork.h"
#include "window/media/MediaSession.h"
#include "window/mpris/MprisService.h"
#include "window/pausepoints/PausePoints.h"
#include "window/preferences/Preferences.h"
#include "window/recording/RecordingPanel.h"
#include "window/segment/SegmentRepeat.h"
#include "window/sentences/Drill.h"
#include "window/sentences/SentenceFinder.h"
#include "window/sentences/SentenceWork.h"
#include "window/settings/SettingsFile.h"
#include "window/feedback/TakeFeedback.h"
#include "window/shadowing/Shadowing.h"
#include "window/speed/PlaybackSpeed.h"
#include "window/waveform/WaveformView.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDBusConnection>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>

namespace {

constexpr int kTimerPeriodMs = 100;

// A control of the template, as the kind of widget it is.
template <typename Widget>
Widget& ControlAs(const std::map<ControlId, QWidget*>& controls, ControlId id)
{
    return *static_cast<Widget*>(controls.at(id));
}

} // namespace

// Every command of the window's controls and the feature that handles it.
const CRecorderDlg::CommandEntry CRecorderDlg::s_commandTable[] = {
    {ControlEvent::Clicked, ControlId::Open, [](CRecorderDlg& d) { d.Opening().Open(); }},
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
                           std::unique_ptr<SoundProfiler> profiler, std::unique_ptr<SubtitleStreams> subtitles,
                           std::unique_ptr<TextAligner> aligner, TakeEngines takes, Prompts& prompts, WindowEnvironment environment, QWidget* parent)
    : QDialog(parent),
      m_recorder(std::move(recorder)),
      m_hIcon(AppIcon()),
      m_player(std::move(player), this),
      m_environment(std::move(environment)),
      m_prompts(prompts, *this, m_environment.appName)
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
    const auto& infinitely = ControlAs<QAbstractButton>(m_controls, ControlId::Infinitely);

    m_commands = std::make_unique<WindowCommands>(*this, *this);
    m_preferences = std::make_unique<Preferences>(m_environment.preferencesPath);
    m_media = std::make_unique<CurrentMedia>(m_player, ControlAs<QLineEdit>(m_controls, ControlId::MediaPath));
    m_segment = std::make_unique<SegmentRepeat>(m_player, *m_media, *this, *this, m_prompts, infinitely);
    m_points = std::make_unique<PausePoints>(m_player, *m_segment, ControlAs<QListWidget>(m_controls, ControlId::PointList),
                                             infinitely, *this, *this, m_prompts);
    m_opening = std::make_unique<MediaSession>(m_player, *m_media, *m_segment, *m_points, *this, m_prompts, *this);
    m_recording = std::make_unique<RecordingPanel>(*m_recorder, *Control(ControlId::SaveAs),
                                                   ControlAs<QLabel>(m_controls, ControlId::RecTime),
                                                   ControlAs<QLabel>(m_controls, ControlId::FileSize), *this, *this,
                                                   m_prompts);
    m_settings = std::make_unique<SettingsFile>(m_environment.settingsPath, m_environment.initialSettingsPath,
                                                *m_segment, *m_points, *m_media, *m_opening, *this, m_prompts);
    m_profile = std::make_unique<MediaProfile>(std::move(profiler), *m_opening);
    m_waveform = std::make_unique<WaveformView>(m_player, *m_profile, *m_opening, *m_segment, *m_points,
                                                *m_preferences, *this);
    m_speed = std::make_unique<PlaybackSpeed>(m_player, *m_preferences, *this);
    std::unique_ptr<TakeComparer> comparer = std::move(takes.comparer);
    TakePlayer& takePlayer = *takes.player;
    m_shadowing = std::make_unique<Shadowing>(std::move(takes), *m_segment, *m_media, *m_opening, *m_speed,
                                              *m_waveform, *m_commands, *this, m_prompts);
    m_feedback = std::make_unique<TakeFeedback>(std::move(comparer), takePlayer, *m_shadowing, *m_media, *m_opening,
                                                *m_segment, *m_waveform, *m_commands);
    m_finder = std::make_unique<SentenceFinder>(*m_profile);
    m_drill = std::make_unique<Drill>(*m_segment, *m_finder, *m_shadowing, *m_speed, *m_commands, *this, *this);
    m_sentences = std::make_unique<SentenceWork>(*m_finder, *m_drill, *m_segment, *m_points, *m_waveform,
                                                 *Control(ControlId::Repeat), *m_preferences, *this, m_prompts);
    m_transcript = std::make_unique<TranscriptWork>(m_player, *m_media, *m_opening, *m_finder, *m_segment, *m_drill,
                                                    *m_waveform, *Control(ControlId::Repeat), *this, *m_preferences,
                                                    *m_commands, m_prompts, std::move(subtitles),
                                                    m_environment.transcriptFolder);
    m_alignment = std::make_unique<TextAlignWork>(std::move(aligner), *m_media, *m_opening, *m_transcript, *m_finder,
                                                  *m_preferences, m_prompts, m_environment.transcriptFolder);
    m_drop = std::make_unique<MediaDrop>(*this, *m_opening, *m_transcript, *m_commands);

    // The context menu in its order: the window's own commands, the
    // sentences', shadowing's, the speed's, the transcript's.
    AddWindowCommands();
    m_sentences->AddCommands(*m_commands);
    m_shadowing->AddCommands(*m_commands);
    m_speed->AddCommands(*m_commands);
    m_transcript->AddCommands(*m_commands);
    m_alignment->AddCommands(*m_commands);
    // The learning commands also in a strip over the sound, with their keys.
    m_strip = std::make_unique<LearningStrip>(
        *m_waveform, std::vector<LearningStrip::Button>{
                         {QStringLiteral("◀"), m_commands->CommandFor(Qt::Key_P)},
                         {QStringLiteral("▶"), m_commands->CommandFor(Qt::Key_N)},
                         {QStringLiteral("Drill"), m_commands->CommandNamed(QStringLiteral("Drill..."))},
                         {QStringLiteral("Speed"), m_commands->CommandNamed(QStringLiteral("Speed"))},
                         {QStringLiteral("Transcript"), m_commands->CommandFor(Qt::ControlModifier | Qt::Key_L)},
                         {QStringLiteral("My take"), m_commands->CommandFor(Qt::Key_T)},
                     });

    // Close, Exit and Esc stop the sound profile's work at once.
    connect(this, &QDialog::finished, m_profile.get(), &MediaProfile::Stop);
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

std::unique_ptr<MprisService> CRecorderDlg::OfferOnBus(QDBusConnection bus)
{
    return std::make_unique<MprisService>(*this, m_player, *m_commands, *m_opening, *m_segment, *m_sentences, *m_speed,
                                          std::move(bus));
}

void CRecorderDlg::Dispatch(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        // A player fault no guard caught, or any other failure (memory, the
        // standard library): said in the box, and the window stays open.
        m_prompts.ShowMessage(m_environment.appName, error.what(), BoxIcon::Stop);
    } catch (...) {
        m_prompts.ShowMessage(m_environment.appName, "The command failed for a reason the program could not name.",
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

int CRecorderDlg::DoModal(std::function<void()> whenShown)
{
    m_starting = true;
    if (whenShown)
        m_whenShown.push_back(std::move(whenShown));
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

    // The user guide opens as the window starts, before the media loads;
    // starting the browser is a process of its own, so the window comes first.
    RunWhenShown([this] { m_prompts.OpenUrl(m_environment.homePageUrl); });

    // A file named on the command line is opened in place of the last media
    // the settings name; the rest of the settings still hold.
    const std::string& named = m_environment.fileToOpen;
    Dispatch([this, &named] {
        if (!m_settings->LoadSettings(named.empty() ? SettingsFile::LastMedia::Reload : SettingsFile::LastMedia::Leave))
            m_settings->InstallDefaults();
    });
    if (!named.empty())
        RunWhenShown([this, named] { m_opening->OpenFile(named); });

    UpdateData(false);
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
    DataExchange exchange(m_controls, m_prompts, fromControls ? DataExchange::Direction::FromControls
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
