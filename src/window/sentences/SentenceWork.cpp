// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/sentences/SentenceWork.h"

#include "window/DialogPrompts.h"
#include "window/WindowDispatch.h"
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

SentenceWork::SentenceWork(SentenceFinder& finder, Drill& drill, SegmentRepeat& segment, PausePoints& points,
                           WaveformView& waveform, const QWidget& repeatButton, Preferences& preferences,
                           WindowDispatch& dispatch, DialogPrompts& prompts)
    : m_finder(finder),
      m_drill(drill),
      m_segment(segment),
      m_points(points),
      m_waveform(waveform),
      m_repeatButton(repeatButton),
      m_preferences(preferences),
      m_dispatch(dispatch),
      m_prompts(prompts)
{
    m_finder.SetShortestPause(preferences.Value(kShortestPauseKey, m_finder.ShortestPause()).toDouble());
    connect(&m_finder, &SentenceFinder::sentencesChanged, this, &SentenceWork::OnSentencesChanged);
    m_snapping = preferences.Value(kSnapKey, false).toBool();
    SetSnapping(m_snapping);
    OnSentencesChanged();
}

SentenceWork::~SentenceWork()
{
    m_segment.SetSnap(nullptr);
}

void SentenceWork::AddCommands(WindowCommands& commands)
{
    using Keys = WindowCommands::Keys;
    commands.AddSeparator();
    m_needSound = {
        commands.Add(tr("Next sentence"), Keys{Qt::Key_N, Qt::Key_MediaNext}, [this] { NextSentence(); }),
        commands.Add(tr("Previous sentence"), Keys{Qt::Key_P}, [this] { PreviousSentence(); }),
        commands.Add(tr("Pause points from sentences"), {}, [this] { PausePointsFromSentences(); }),
        commands.Add(tr("Drill..."), {}, [this] { ChooseDrill(); }),
    };
    commands.AddCheckable(tr("Snap marks to pauses"), {}, m_snapping,
                          [this](bool on) {
                              m_preferences.SetValue(kSnapKey, on);
                              SetSnapping(on);
                          });
    QMenu* shortest = commands.AddSubmenu(tr("Shortest pause between sentences"));
    auto* choices = new QActionGroup(shortest);
    for (double seconds : kShortestPauses) {
        QAction* choice = commands.AddCheckable(tr("%1 s").arg(seconds), {},
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
    m_snapping = on;
    if (!on) {
        m_segment.SetSnap(nullptr);
        return;
    }
    m_segment.SetSnap([this](double position, SegmentRepeat::SegmentEdge edge) {
        return SnapToSentence(m_finder.Sentences(), position,
                              edge == SegmentRepeat::SegmentEdge::Start ? &TimeSpan::start : &TimeSpan::end, kSnapReach);
    });
}

void SentenceWork::SetShortestPause(double seconds)
{
    m_preferences.SetValue(kShortestPauseKey, seconds);
    m_finder.SetShortestPause(seconds);
}

bool SentenceWork::TakeStep(Step step)
{
    // The sentence plays as Repeat plays it: not while Repeat cannot.
    if (!m_repeatButton.isEnabled())
        return true;
    const std::vector<TimeSpan>& sentences = m_finder.Sentences();
    std::optional<TimeSpan> sentence =
        step == Step::Next ? SentenceAfter(sentences, m_segment.End()) : SentenceBefore(sentences, m_segment.Start());
    if (!sentence)
        return false;
    m_segment.SetSegment(sentence->start, sentence->end);
    m_segment.Repeat();
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
    return SentenceAfter(m_finder.Sentences(), m_segment.End()).has_value();
}

void SentenceWork::PausePointsFromSentences()
{
    const std::vector<TimeSpan>& sentences = m_finder.Sentences();
    if (sentences.empty()) {
        m_prompts.ShowMessage(kProgramBoxCaption,
                              tr("No sentences have been found in this media's sound yet.").toStdString(),
                              BoxIcon::Information);
        return;
    }
    if (m_points.LastPointIndex() >= 0
        && m_prompts.AskYesNo(kProgramBoxCaption,
                             tr("This media has %1 pause points. Replace them with the starts of its %2 sentences?")
                                 .arg(m_points.LastPointIndex() + 1)
                                 .arg(sentences.size())
                                 .toStdString(),
                             BoxIcon::Question)
               != BoxAnswer::Yes)
        return;
    std::vector<double> starts;
    for (const TimeSpan& sentence : sentences)
        starts.push_back(sentence.start);
    m_points.ReplaceAll(starts);
}

void SentenceWork::ChooseDrill()
{
    DrillSettings remembered;
    remembered.repeats = m_preferences.Value(kRepeatsKey, remembered.repeats).toInt();
    remembered.pauseFactor = m_preferences.Value(kPauseFactorKey, remembered.pauseFactor).toDouble();
    remembered.goOn = m_preferences.Value(kGoOnKey, remembered.goOn).toBool();
    remembered.recordTakes = m_preferences.Value(kRecordTakesKey, remembered.recordTakes).toBool();
    remembered.replayAfterTake = m_preferences.Value(kReplayAfterTakeKey, remembered.replayAfterTake).toBool();
    std::optional<DrillSettings> chosen = m_prompts.ChooseDrill(remembered);
    if (!chosen)
        return;
    m_preferences.SetValue(kRepeatsKey, chosen->repeats);
    m_preferences.SetValue(kPauseFactorKey, chosen->pauseFactor);
    m_preferences.SetValue(kGoOnKey, chosen->goOn);
    m_preferences.SetValue(kRecordTakesKey, chosen->recordTakes);
    m_preferences.SetValue(kReplayAfterTakeKey, chosen->replayAfterTake);
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
        m_dispatch.Dispatch([this] {
            if (TakeStep(m_waiting))
                m_waiting = Step::None;
        });

    std::vector<WaveformBand> bands;
    for (const TimeSpan& pause : m_finder.Map().pauses)
        bands.push_back({pause.start, pause.end, kPauseBand, {}});
    m_waveform.SetBands(QStringLiteral("pauses"), std::move(bands));
    m_waveform.SetNotice(m_waiting != Step::None ? tr("Finding sentences…") : QString());
}
