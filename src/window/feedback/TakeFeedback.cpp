// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/feedback/TakeFeedback.h"

#include "components/takes/TakePlayer.h"
#include "window/commands/WindowCommands.h"
#include "window/media/CurrentMedia.h"
#include "window/media/MediaSession.h"
#include "window/segment/SegmentRepeat.h"
#include "window/shadowing/Shadowing.h"
#include "window/waveform/WaveformView.h"

#include <QColor>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QString kMelodyLayer = QStringLiteral("feedback");
const QString kMarkLayer = QStringLiteral("feedback marks");
const QColor kOriginalMelody(0x9f, 0xe8, 0xff);
const QColor kTakeMelody(0xff, 0xa0, 0x40);
const QColor kSlower(0xe0, 0x50, 0x50, 0x60);
const QColor kFaster(0xa0, 0x70, 0xff, 0x60);
const QColor kUnmatched(0x90, 0x90, 0x90, 0x70);
// Semitones from a speaker's middle to the top (or bottom) of the sound area.
constexpr double kSemitonesShown = 8;
// Heard before and after a mark, so that it is heard in its context.
constexpr double kMarkContext = 0.1;
// The width a mark of what the take added is drawn with, at its place in the original.
constexpr double kAddedMarkHalfWidth = 0.05;

std::vector<float> CurveOf(const std::vector<std::optional<float>>& semitones)
{
    std::vector<float> values(semitones.size(), std::numeric_limits<float>::quiet_NaN());
    for (std::size_t i = 0; i < semitones.size(); ++i)
        if (semitones[i])
            values[i] = float(*semitones[i] / kSemitonesShown);
    return values;
}

// The take's stretch said with `span` of the original (both in seconds from
// their starts); empty when none of it was matched.
TimeSpan TakeStretchOf(const TakeComparison& comparison, const TimeSpan& span)
{
    const double hop = comparison.hopSeconds;
    const auto from = std::size_t(std::max(0.0, span.start / hop));
    const auto to = std::min(comparison.takeFrame.size(), std::size_t(std::ceil(span.end / hop)));
    std::optional<std::uint32_t> first, last;
    for (std::size_t i = from; i < to; ++i) {
        if (!comparison.takeFrame[i])
            continue;
        first = first ? std::min(*first, *comparison.takeFrame[i]) : *comparison.takeFrame[i];
        last = last ? std::max(*last, *comparison.takeFrame[i]) : *comparison.takeFrame[i];
    }
    if (!first)
        return {};
    return {*first * hop, (*last + 1) * hop};
}

TimeSpan Widened(const TimeSpan& span, double by)
{
    if (span.end <= span.start)
        return span;
    return {std::max(0.0, span.start - by), span.end + by};
}

QString ScoreText(const std::optional<double>& score)
{
    return score ? QString::number(*score, 'f', 0) : QStringLiteral("–");
}

} // namespace

TakeFeedback::TakeFeedback(std::unique_ptr<TakeComparer> comparer, TakePlayer& player, const Shadowing& shadowing,
                           const CurrentMedia& media, const MediaSession& opening, SegmentRepeat& segment,
                           WaveformView& waveform, const WindowCommands& commands)
    : m_comparer(std::move(comparer)),
      m_player(player),
      m_media(media),
      m_segment(segment),
      m_waveform(waveform)
{
    connect(&shadowing, &Shadowing::takePlaying, this, &TakeFeedback::OnTakePlaying);
    connect(&shadowing, &Shadowing::phaseChanged, this, [this](Shadowing::Phase phase) {
        if (phase == Shadowing::Phase::Recording)
            Clear();
    });
    connect(&commands, &WindowCommands::commandStarting, this, &TakeFeedback::Clear);
    connect(&opening, &MediaSession::mediaLoaded, this, &TakeFeedback::Clear);
    connect(m_comparer.get(), &TakeComparer::compared, this, &TakeFeedback::OnCompared);
    connect(&waveform, &WaveformView::bandClicked, this, [this](const QString& layer, int band) {
        if (layer == kMarkLayer)
            PlayMark(band);
    });
    connect(&segment, &SegmentRepeat::segmentPlayed, this, &TakeFeedback::OnOriginalPlayed);
}

TakeFeedback::~TakeFeedback() = default;

void TakeFeedback::OnTakePlaying(const TimeSpan& sentence, const std::string& path, bool fresh)
{
    Clear();
    m_take = TakeToCompare{m_media.Path(), sentence, path};
    m_fresh = fresh;
    m_comparer->Compare(*m_take);
}

void TakeFeedback::OnCompared(const ComparedTake& result)
{
    if (!m_take || result.take.takePath != m_take->takePath || result.take.mediaPath != m_take->mediaPath)
        return;
    if (!result.problem.empty()) {
        SetNotice(tr("No comparison: %1").arg(QString::fromStdString(result.problem)));
        return;
    }
    if (result.comparison.reason) {
        SetNotice(tr("No comparison: %1").arg(QString::fromStdString(*result.comparison.reason)));
        return;
    }
    Show(result);
}

void TakeFeedback::Show(const ComparedTake& result)
{
    const TakeComparison& comparison = result.comparison;
    const double start = result.take.sentence.start;
    m_waveform.SetCurves(kMelodyLayer, {{start, comparison.hopSeconds, CurveOf(comparison.originalMelody), kOriginalMelody},
                                        {start, comparison.hopSeconds, CurveOf(comparison.takeMelody), kTakeMelody}});

    std::vector<WaveformBand> bands;
    const auto add = [&](const TimeSpan& original, const TimeSpan& take, const QColor& color, const QString& label) {
        const TimeSpan inMedia{start + original.start, start + original.end};
        m_marks.push_back({inMedia, take});
        const double middle = (inMedia.start + inMedia.end) / 2;
        const bool added = inMedia.end <= inMedia.start;
        bands.push_back({added ? middle - kAddedMarkHalfWidth : inMedia.start,
                         added ? middle + kAddedMarkHalfWidth : inMedia.end, color, label});
    };
    for (const TimeSpan& span : comparison.slower)
        add(span, TakeStretchOf(comparison, span), kSlower, tr("slower"));
    for (const TimeSpan& span : comparison.faster)
        add(span, TakeStretchOf(comparison, span), kFaster, tr("faster"));
    for (const UnmatchedStretch& stretch : comparison.unmatched)
        add(stretch.original, stretch.take, kUnmatched, tr("not matched"));
    m_waveform.SetBands(kMarkLayer, std::move(bands));
    m_waveform.SetClickableBands(kMarkLayer);

    const std::vector<TakeScore> earlier = ReadTakeScores(result.take.takePath);
    QString line = ScoreLine(comparison, earlier);
    if (m_fresh) {
        const TakeScore score{QDateTime::currentDateTimeUtc(), comparison.melodyScore, comparison.timingScore};
        if (const std::optional<std::string> problem = AppendTakeScore(result.take.takePath, score))
            line += QStringLiteral(" — ") + QString::fromStdString(*problem);
    }
    SetNotice(line);
}

QString TakeFeedback::ScoreLine(const TakeComparison& comparison, const std::vector<TakeScore>& earlier) const
{
    QString line = tr("Melody %1, timing %2").arg(ScoreText(comparison.melodyScore), ScoreText(comparison.timingScore));
    // A take played again is the last one kept; the one before it is what it is set against.
    const std::size_t kept = earlier.size();
    const std::size_t before = m_fresh ? kept : (kept > 0 ? kept - 1 : 0);
    if (before > 0) {
        const TakeScore& last = earlier[before - 1];
        line += QStringLiteral("  ")
                + tr("(take before, %1: %2, %3)")
                      .arg(QLocale().toString(last.recorded.toLocalTime().date(), QLocale::ShortFormat),
                           ScoreText(last.melody), ScoreText(last.timing));
    }
    return line;
}

void TakeFeedback::PlayMark(int index)
{
    if (!m_take || index < 0 || std::size_t(index) >= m_marks.size())
        return;
    const Mark& mark = m_marks[std::size_t(index)];
    m_player.Stop();
    const TimeSpan take = Widened(mark.take, kMarkContext);
    if (mark.original.end <= mark.original.start) {
        if (take.end > take.start)
            m_player.PlayStretch(m_take->takePath, take);
        return;
    }
    const TimeSpan original = Widened(mark.original, kMarkContext);
    m_replay = Replay{m_replay ? m_replay->segment : TimeSpan{m_segment.Start(), m_segment.End()}, take};
    m_segment.SetSegment(original.start, original.end);
    m_segment.RepeatOnce();
}

void TakeFeedback::OnOriginalPlayed()
{
    if (!m_replay || !m_take)
        return;
    const Replay replay = *m_replay;
    m_replay.reset();
    m_segment.SetSegment(replay.segment.start, replay.segment.end);
    if (replay.take.end > replay.take.start)
        m_player.PlayStretch(m_take->takePath, replay.take);
}

void TakeFeedback::Clear()
{
    m_comparer->Cancel();
    m_take.reset();
    m_marks.clear();
    m_waveform.SetCurves(kMelodyLayer, {});
    m_waveform.SetBands(kMarkLayer, {});
    m_waveform.SetClickableBands({});
    SetNotice({});
    if (m_replay) {
        const TimeSpan segment = m_replay->segment;
        m_replay.reset();
        m_segment.SetSegment(segment.start, segment.end);
    }
}

void TakeFeedback::SetNotice(const QString& text)
{
    // Another feature's line (the call to speak) is left alone.
    if (text.isEmpty() && m_waveform.Notice() != m_notice) {
        m_notice.clear();
        return;
    }
    m_notice = text;
    m_waveform.SetNotice(text);
}
