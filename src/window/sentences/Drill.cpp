// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/sentences/Drill.h"

#include "window/WindowDispatch.h"
#include "window/commands/WindowCommands.h"
#include "window/segment/SegmentRepeat.h"
#include "window/sentences/SentenceFinder.h"
#include "window/sentences/SentenceSteps.h"
#include "window/shadowing/Shadowing.h"
#include "window/speed/PlaybackSpeed.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <cmath>

Drill::Drill(SegmentRepeat& segment, const SentenceFinder& finder, Shadowing& shadowing, const PlaybackSpeed& speed,
             const WindowCommands& commands, WindowDispatch& dispatch, const QWidget& window)
    : m_segment(segment),
      m_finder(finder),
      m_shadowing(shadowing),
      m_speed(speed),
      m_dispatch(dispatch),
      m_window(window)
{
    m_step.setSingleShot(true);
    m_step.setTimerType(Qt::PreciseTimer);
    connect(&m_step, &QTimer::timeout, this, [this] { m_dispatch.Dispatch([this] { Step(); }); });
    // A command of the user's, from a key, the menu or the desktop, ends it.
    connect(&commands, &WindowCommands::commandStarting, this, [this] { Stop(); });
    connect(&segment, &SegmentRepeat::segmentPlayed, this, &Drill::OnSentencePlayed);
}

Drill::~Drill()
{
    Stop();
}

void Drill::Start(const DrillSettings& settings)
{
    const TimeSpan segment{m_segment.Start(), m_segment.End()};
    std::optional<TimeSpan> first =
        HoldsASentence(segment) ? std::optional(segment) : SentenceAfter(m_finder.Sentences(), segment.start);
    if (!first)
        return;
    m_settings = settings;
    m_item = first;
    m_plays = 0;
    qApp->installEventFilter(this);
    emit runningChanged(true);
    Play();
}

// A segment too short for a sentence (a sliver that a Stop right after Open
// leaves) or one in sound already looked at that has no speech in it is no
// sentence: drilling it would play silence and cut a take short.
bool Drill::HoldsASentence(const TimeSpan& span) const
{
    if (span.Length() < m_finder.ShortestSentence())
        return false;
    const std::vector<TimeSpan>& sounds = m_finder.Map().sounds;
    const bool lookedAt = m_finder.Progress() == SentenceFinder::State::Found ||
                          (m_finder.Progress() == SentenceFinder::State::Finding && !sounds.empty() &&
                           sounds.back().end >= span.end);
    return !lookedAt || std::any_of(sounds.begin(), sounds.end(), [&](const TimeSpan& sound) {
        return sound.start < span.end && sound.end > span.start;
    });
}

void Drill::Stop()
{
    if (!IsRunning())
        return;
    m_step.stop();
    m_item.reset();
    m_awaitingTurn = false;
    m_shadowing.EndTurn();
    qApp->removeEventFilter(this);
    emit runningChanged(false);
}

void Drill::Play()
{
    if (m_segment.Start() != m_item->start || m_segment.End() != m_item->end)
        m_segment.SetSegment(m_item->start, m_item->end);
    ++m_plays;
    // With takes, the turn takes the pause's place once the play has ended.
    // Otherwise the next play starts once this one (as long as the sentence
    // lasts at the playing speed) and its pause have passed: its sound comes
    // as late after the Repeat as this one's, so the pause is heard as set.
    m_awaitingTurn = m_settings.recordTakes;
    if (!m_awaitingTurn) {
        const double heard = m_item->Length() / m_speed.Speed();
        m_step.start(int(std::lround(1000 * heard * (1 + m_settings.pauseFactor))));
    }
    m_segment.RepeatOnce();
}

void Drill::OnSentencePlayed()
{
    // A play that has ended while the next one has started already (another
    // listener of the same end went on) is not the one awaited.
    if (!IsRunning() || !m_awaitingTurn || m_segment.IsRepeating())
        return;
    m_awaitingTurn = false;
    m_shadowing.Turn(*m_item, m_settings.replayAfterTake, [this](Shadowing::TurnEnd end) {
        switch (end) {
        case Shadowing::TurnEnd::WithoutRecording:
            m_settings.recordTakes = false;
            [[fallthrough]];
        case Shadowing::TurnEnd::Done:
            m_dispatch.Dispatch([this] { Step(); });
            break;
        case Shadowing::TurnEnd::Stopped:
            Stop();
            break;
        }
    });
}

void Drill::Step()
{
    if (!IsRunning())
        return;
    if (m_settings.repeats == 0 || m_plays < m_settings.repeats) {
        Play();
        return;
    }
    std::optional<TimeSpan> next = m_settings.goOn ? SentenceAfter(m_finder.Sentences(), m_item->end) : std::nullopt;
    if (!next) {
        Stop();
        return;
    }
    m_item = next;
    m_plays = 0;
    Play();
}

bool Drill::IsUserInput(QObject* watched, QEvent* event) const
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        break;
    default:
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget && widget->window() == &m_window;
}

bool Drill::eventFilter(QObject* watched, QEvent* event)
{
    if (IsUserInput(watched, event))
        Stop();
    return QObject::eventFilter(watched, event);
}
