// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shadowing/Shadowing.h"

#include "window/DialogPrompts.h"
#include "window/WindowDispatch.h"
#include "window/commands/WindowCommands.h"
#include "window/media/CurrentMedia.h"
#include "window/media/MediaSession.h"
#include "window/segment/SegmentRepeat.h"
#include "window/shadowing/TakeNames.h"
#include "window/speed/PlaybackSpeed.h"
#include "window/waveform/WaveformView.h"

#include <QDir>
#include <algorithm>

namespace {

const QColor kTakeBand(90, 200, 120, 60);
const QString kTakeLayer = QStringLiteral("takes");
// Asked for where it is shown, so that it comes in the language installed then.
QString YourTurn()
{
    return Shadowing::tr("Your turn: say the sentence");
}
// Seconds in which a learner can say a short sentence.
constexpr double kShortestTakeLimit = 4.0;

// The overlap of two stretches of time; negative when they do not meet.
double Overlap(const TimeSpan& a, const TimeSpan& b)
{
    return std::min(a.end, b.end) - std::max(a.start, b.start);
}

} // namespace

Shadowing::Shadowing(TakeEngines engines, SegmentRepeat& segment, const CurrentMedia& media,
                     const MediaSession& opening, const PlaybackSpeed& speed, WaveformView& waveform,
                     const WindowCommands& commands, WindowDispatch& dispatch, DialogPrompts& prompts)
    : m_engines(std::move(engines)),
      m_segment(segment),
      m_media(media),
      m_speed(speed),
      m_waveform(waveform),
      m_dispatch(dispatch),
      m_prompts(prompts)
{
    connect(m_engines.recorder.get(), &TakeRecorder::takeEnded, this,
            [this](TakeRecorder::Outcome outcome) { m_dispatch.Dispatch([this, outcome] { OnTakeEnded(outcome); }); });
    connect(m_engines.player.get(), &TakePlayer::finished, this,
            [this] { m_dispatch.Dispatch([this] { OnTakePlayed(); }); });
    connect(&segment, &SegmentRepeat::segmentPlayed, this, &Shadowing::OnSentencePlayed);
    connect(&opening, &MediaSession::mediaLoaded, this, &Shadowing::FindTakes);
    // Another command of the user's silences a take that plays.
    connect(&commands, &WindowCommands::commandStarting, this, [this] {
        if (m_phase == Phase::Idle)
            m_engines.player->Stop();
    });
}

void Shadowing::AddCommands(WindowCommands& commands)
{
    commands.Add(tr("Play my take"), WindowCommands::Keys{Qt::Key_T}, [this] { PlayMyTake(); });
}

Shadowing::~Shadowing()
{
    EndTurn();
}

std::string Shadowing::TakePath(const TimeSpan& sentence) const
{
    return TakeFolder(m_media.Path()) + "/" + TakeFileName(sentence);
}

void Shadowing::SetPhase(Phase phase)
{
    if (phase == m_phase)
        return;
    // The waveform tells when to speak.
    if (phase == Phase::Recording)
        m_waveform.SetNotice(YourTurn());
    else if (m_phase == Phase::Recording && m_waveform.Notice() == YourTurn())
        m_waveform.SetNotice(QString());
    m_phase = phase;
    emit phaseChanged(phase);
}

void Shadowing::Turn(const TimeSpan& sentence, bool replaySentence, std::function<void(TurnEnd)> done)
{
    EndTurn();
    m_sentence = sentence;
    m_replaySentence = replaySentence;
    m_done = std::move(done);
    SetPhase(Phase::Recording);
    // Twice as long as the sentence was heard (at the speed it played), and
    // 2 s; never less than a short sentence needs to be said in.
    const double heard = sentence.Length() / m_speed.Speed();
    if (!m_engines.recorder->Record(TakePath(sentence), std::max(2 * heard + 2, kShortestTakeLimit)))
        Fail(m_engines.recorder->LastError());
}

void Shadowing::EndTurn()
{
    m_done = nullptr;
    m_sentence.reset();
    m_engines.recorder->Cancel();
    m_engines.player->Stop();
    SetPhase(Phase::Idle);
}

void Shadowing::OnTakeEnded(TakeRecorder::Outcome outcome)
{
    if (m_phase != Phase::Recording)
        return;
    switch (outcome) {
    case TakeRecorder::Outcome::Kept:
        FindTakes();
        SetPhase(Phase::PlayingTake);
        if (m_engines.player->Play(TakePath(*m_sentence)))
            emit takePlaying(*m_sentence, TakePath(*m_sentence), true);
        else
            Fail(m_engines.player->LastError());
        break;
    case TakeRecorder::Outcome::NoSpeech:
        // Nothing was said: nothing to hear; the earlier take stays.
        AfterTake();
        break;
    case TakeRecorder::Outcome::Failed:
        Fail(m_engines.recorder->LastError());
        break;
    }
}

void Shadowing::OnTakePlayed()
{
    if (m_phase != Phase::PlayingTake)
        return;
    if (const std::string problem = m_engines.player->LastError(); !problem.empty()) {
        Fail(problem);
        return;
    }
    AfterTake();
}

void Shadowing::AfterTake()
{
    if (!m_replaySentence) {
        FinishTurn(TurnEnd::Done);
        return;
    }
    SetPhase(Phase::ReplayingSentence);
    m_segment.SetSegment(m_sentence->start, m_sentence->end);
    m_segment.RepeatOnce();
}

void Shadowing::OnSentencePlayed()
{
    if (m_phase == Phase::ReplayingSentence)
        FinishTurn(TurnEnd::Done);
}

void Shadowing::Fail(const std::string& reason)
{
    std::function<void(TurnEnd)> done = std::move(m_done);
    EndTurn();
    const BoxAnswer answer =
        m_prompts.AskYesNo(kProgramBoxCaption, reason + "\n\nShadowing has stopped. Go on with the drill without recording?",
                          BoxIcon::Exclamation);
    if (done)
        done(answer == BoxAnswer::Yes ? TurnEnd::WithoutRecording : TurnEnd::Stopped);
}

void Shadowing::FinishTurn(TurnEnd end)
{
    std::function<void(TurnEnd)> done = std::move(m_done);
    EndTurn();
    if (done)
        done(end);
}

void Shadowing::PlayMyTake()
{
    const TimeSpan segment{m_segment.Start(), m_segment.End()};
    // The take of the sentence the segment covers most.
    auto best = std::max_element(m_takes.begin(), m_takes.end(), [&](const TimeSpan& a, const TimeSpan& b) {
        return Overlap(a, segment) < Overlap(b, segment);
    });
    if (best == m_takes.end() || Overlap(*best, segment) <= 0) {
        m_prompts.ShowMessage(kProgramBoxCaption,
                             tr("This segment has no take yet. Takes are recorded by a drill with \"Record my repetition\".")
                                 .toStdString(),
                             BoxIcon::Information);
        return;
    }
    if (m_engines.player->Play(TakePath(*best)))
        emit takePlaying(*best, TakePath(*best), false);
    else
        m_prompts.ShowMessage(kProgramBoxCaption, m_engines.player->LastError(), BoxIcon::Exclamation);
}

void Shadowing::FindTakes()
{
    m_takes.clear();
    const QDir folder(QFile::decodeName(TakeFolder(m_media.Path()).c_str()));
    for (const QString& name : folder.entryList({QStringLiteral("*.mp3")}, QDir::Files, QDir::Name)) {
        if (std::optional<TimeSpan> sentence = SentenceOfTake(QFile::encodeName(name).toStdString()))
            m_takes.push_back(*sentence);
    }
    std::vector<WaveformBand> bands;
    for (const TimeSpan& take : m_takes)
        bands.push_back({take.start, take.end, kTakeBand, {}});
    m_waveform.SetBands(kTakeLayer, std::move(bands));
}
