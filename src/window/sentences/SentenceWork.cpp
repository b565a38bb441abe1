#include "window/sentences/SentenceWork.h"

#include "window/RecorderDlg.h"
#include "window/commands/WindowCommands.h"
#include "window/media/MediaProfile.h"
#include "window/pausepoints/PausePoints.h"
#include "window/preferences/Preferences.h"
#include "window/segment/SegmentRepeat.h"
#include "window/sentences/SentenceSteps.h"
#include "window/waveform/WaveformView.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace {

// How far a mark looks for a sentence edge to snap to.
constexpr double kSnapReach = 0.7;
// The shortest pauses that split, to choose from.
constexpr double kShortestPauses[] = {0.15, 0.25, 0.4, 0.6, 0.8, 1.2};

const QString kSnapKey = QStringLiteral("Sentences/SnapMarks");
const QString kShortestPauseKey = QStringLiteral("Sentences/ShortestPause");
const QString kRepeatsKey = QStringLiteral("Drill/Repeats");
const QString kPauseFactorKey = QStringLiteral("Drill/PauseFactor");
const QString kGoOnKey = QStringLiteral("Drill/GoOn");
const QString kRecordTakesKey = QStringLiteral("Shadowing/RecordTakes");
const QString kReplayAfterTakeKey = QStringLiteral("Shadowing/ReplayAfterTake");

const QColor kPauseBand(120, 170, 255, 40);

} // namespace

SentenceWork::SentenceWork(CRecorderDlg& dialog)
    : m_dialog(dialog), m_finder(dialog.Profile()), m_drill(dialog, m_finder)
{
    Preferences& preferences = dialog.Prefs();
    m_finder.SetShortestPause(preferences.Value(kShortestPauseKey, m_finder.ShortestPause()).toDouble());
    connect(&m_finder, &SentenceFinder::sentencesChanged, this, &SentenceWork::OnSentencesChanged);
    const bool snapping = preferences.Value(kSnapKey, false).toBool();
    AddCommands(snapping);
    SetSnapping(snapping);
    OnSentencesChanged();
}

SentenceWork::~SentenceWork()
{
    m_dialog.Segment().SetSnap(nullptr);
}

void SentenceWork::AddCommands(bool snapping)
{
    WindowCommands& commands = m_dialog.Commands();
    using Keys = WindowCommands::Keys;
    commands.AddSeparator();
    m_needSound = {
        commands.Add(QStringLiteral("Next sentence"), Keys{Qt::Key_N, Qt::Key_MediaNext}, [this] { NextSentence(); }),
        commands.Add(QStringLiteral("Previous sentence"), Keys{Qt::Key_P}, [this] { PreviousSentence(); }),
        commands.Add(QStringLiteral("Pause points from sentences"), {}, [this] { PausePointsFromSentences(); }),
        commands.Add(QStringLiteral("Drill..."), {}, [this] { ChooseDrill(); }),
    };
    commands.AddCheckable(QStringLiteral("Snap marks to pauses"), {}, snapping,
                          [this](bool on) {
                              m_dialog.Prefs().SetValue(kSnapKey, on);
                              SetSnapping(on);
                          });
    QMenu* shortest = commands.AddSubmenu(QStringLiteral("Shortest pause between sentences"));
    auto* choices = new QActionGroup(shortest);
    for (double seconds : kShortestPauses) {
        QAction* choice = commands.AddCheckable(QStringLiteral("%1 s").arg(seconds), {},
                                                seconds == m_finder.ShortestPause(), [this, seconds](bool on) {
                                                    if (on)
                                                        SetShortestPause(seconds);
                                                },
                                                shortest);
        choices->addAction(choice);
    }
}

void SentenceWork::SetSnapping(bool on)
{
    if (!on) {
        m_dialog.Segment().SetSnap(nullptr);
        return;
    }
    m_dialog.Segment().SetSnap([this](double position, SegmentRepeat::SegmentEdge edge) {
        return SnapToSentence(m_finder.Sentences(), position,
                              edge == SegmentRepeat::SegmentEdge::Start ? &TimeSpan::start : &TimeSpan::end, kSnapReach);
    });
}

void SentenceWork::SetShortestPause(double seconds)
{
    m_dialog.Prefs().SetValue(kShortestPauseKey, seconds);
    m_finder.SetShortestPause(seconds);
}

bool SentenceWork::TakeStep(Step step)
{
    // The sentence plays as Repeat plays it: not while Repeat cannot.
    if (!m_dialog.Control(ControlId::Repeat)->isEnabled())
        return true;
    const SegmentRepeat& segment = m_dialog.Segment();
    const std::vector<TimeSpan>& sentences = m_finder.Sentences();
    std::optional<TimeSpan> sentence =
        step == Step::Next ? SentenceAfter(sentences, segment.End()) : SentenceBefore(sentences, segment.Start());
    if (!sentence)
        return false;
    m_dialog.Segment().SetSegment(sentence->start, sentence->end);
    m_dialog.Segment().Repeat();
    return true;
}

void SentenceWork::NextSentence()
{
    m_waiting = Step::None;
    if (!TakeStep(Step::Next) && m_finder.Progress() == SentenceFinder::State::Finding)
        m_waiting = Step::Next;
    OnSentencesChanged();
}

void SentenceWork::PreviousSentence()
{
    m_waiting = Step::None;
    if (!TakeStep(Step::Previous) && m_finder.Progress() == SentenceFinder::State::Finding)
        m_waiting = Step::Previous;
    OnSentencesChanged();
}

bool SentenceWork::HasNextSentence() const
{
    return SentenceAfter(m_finder.Sentences(), m_dialog.Segment().End()).has_value();
}

void SentenceWork::PausePointsFromSentences()
{
    const std::vector<TimeSpan>& sentences = m_finder.Sentences();
    if (sentences.empty()) {
        m_dialog.ShowMessage(kProgramBoxCaption, "No sentences have been found in this media's sound yet.",
                             BoxIcon::Information);
        return;
    }
    PausePoints& points = m_dialog.Points();
    if (points.LastPointIndex() >= 0
        && m_dialog.AskYesNo(kProgramBoxCaption,
                             "This media has " + std::to_string(points.LastPointIndex() + 1)
                                 + " pause points. Replace them with the starts of its "
                                 + std::to_string(sentences.size()) + " sentences?",
                             BoxIcon::Question)
               != BoxAnswer::Yes)
        return;
    std::vector<double> starts;
    for (const TimeSpan& sentence : sentences)
        starts.push_back(sentence.start);
    points.ReplaceAll(starts);
}

void SentenceWork::ChooseDrill()
{
    Preferences& preferences = m_dialog.Prefs();
    DrillSettings remembered;
    remembered.repeats = preferences.Value(kRepeatsKey, remembered.repeats).toInt();
    remembered.pauseFactor = preferences.Value(kPauseFactorKey, remembered.pauseFactor).toDouble();
    remembered.goOn = preferences.Value(kGoOnKey, remembered.goOn).toBool();
    remembered.recordTakes = preferences.Value(kRecordTakesKey, remembered.recordTakes).toBool();
    remembered.replayAfterTake = preferences.Value(kReplayAfterTakeKey, remembered.replayAfterTake).toBool();
    std::optional<DrillSettings> chosen = m_dialog.Prompter().ChooseDrill(&m_dialog, remembered);
    if (!chosen)
        return;
    preferences.SetValue(kRepeatsKey, chosen->repeats);
    preferences.SetValue(kPauseFactorKey, chosen->pauseFactor);
    preferences.SetValue(kGoOnKey, chosen->goOn);
    preferences.SetValue(kRecordTakesKey, chosen->recordTakes);
    preferences.SetValue(kReplayAfterTakeKey, chosen->replayAfterTake);
    m_drill.Start(*chosen);
}

void SentenceWork::OnSentencesChanged()
{
    const bool sound = m_finder.Progress() != SentenceFinder::State::NoSound;
    for (QAction* command : m_needSound)
        command->setEnabled(sound);
    if (!sound)
        m_waiting = Step::None;
    // A step waiting for its sentence plays it once it is found.
    if (m_waiting != Step::None)
        m_dialog.Dispatch([this] {
            if (TakeStep(m_waiting))
                m_waiting = Step::None;
        });

    std::vector<WaveformBand> bands;
    for (const TimeSpan& pause : m_finder.Map().pauses)
        bands.push_back({pause.start, pause.end, kPauseBand});
    WaveformView& waveform = m_dialog.Waveform();
    waveform.SetBands(QStringLiteral("pauses"), std::move(bands));
    waveform.SetNotice(m_waiting != Step::None ? QStringLiteral("Finding sentences…") : QString());
}
