// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/stretch/TimeStretcher.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPieceSeconds = 0.030;
// How far a piece may start from where the speed puts it, to continue the
// sound before it: a pitch period of a low voice.
constexpr double kToleranceSeconds = 0.010;
// Kept whole, onsets let the sound run ahead of (or behind) where the speed
// puts it; beyond this they are stretched as the rest is.
constexpr double kDriftLimitSeconds = 0.1;
// Mean square below which the sound continued counts as silence.
constexpr double kSilence = 1e-9;
// A start other than the natural continuation must sound that much more alike.
constexpr double kBetterBy = 1 + 1e-6;
constexpr std::size_t kRememberedPieces = 128;
// Input no piece can reach any more is dropped in chunks of this many frames.
constexpr std::int64_t kDropChunk = 8192;

int EvenFrames(double seconds, int sampleRate)
{
    return std::max(4, 2 * int(std::lround(seconds * sampleRate / 2)));
}

double Dot(const float* a, const float* b, int count)
{
    float sums[4] = {0, 0, 0, 0};
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        sums[0] += a[i] * b[i];
        sums[1] += a[i + 1] * b[i + 1];
        sums[2] += a[i + 2] * b[i + 2];
        sums[3] += a[i + 3] * b[i + 3];
    }
    double sum = double(sums[0]) + sums[1] + sums[2] + sums[3];
    for (; i < count; ++i)
        sum += double(a[i]) * b[i];
    return sum;
}

} // namespace

TimeStretcher::TimeStretcher(int channels, int sampleRate)
    : m_channels(std::max(1, channels)),
      m_length(EvenFrames(kPieceSeconds, sampleRate)),
      m_hop(m_length / 2),
      m_tolerance(std::max(1, int(kToleranceSeconds * sampleRate))),
      m_driftLimit(int(kDriftLimitSeconds * sampleRate)),
      m_window(std::size_t(m_length)),
      m_onsets(sampleRate)
{
    for (int i = 0; i < m_length; ++i)
        m_window[std::size_t(i)] = float(0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / m_length));
}

void TimeStretcher::Restart(double speed)
{
    m_speed = std::isfinite(speed) ? std::clamp(speed, 0.25, 4.0) : 1.0;
    m_finished = false;
    m_input.clear();
    m_mono.clear();
    m_inBase = 0;
    m_inEnd = 0;
    m_onsets.Reset();
    m_planned.clear();
    m_last.reset();
    m_added.clear();
    m_nextOut = 0;
    m_sum.clear();
    m_weight.clear();
    m_outBase = 0;
    m_ready = 0;
}

void TimeStretcher::Push(const float* samples, std::size_t frames)
{
    if (m_finished || frames == 0)
        return;
    m_input.insert(m_input.end(), samples, samples + frames * std::size_t(m_channels));
    std::size_t firstMono = m_mono.size();
    for (std::size_t frame = 0; frame < frames; ++frame) {
        float sum = 0;
        for (int channel = 0; channel < m_channels; ++channel)
            sum += samples[frame * std::size_t(m_channels) + std::size_t(channel)];
        m_mono.push_back(sum / float(m_channels));
    }
    m_onsets.Push(m_mono.data() + firstMono, frames);
    m_inEnd += std::int64_t(frames);
    Plan();
}

void TimeStretcher::Finish()
{
    if (m_finished)
        return;
    m_finished = true;
    PlanEnd();
}

std::size_t TimeStretcher::Pull(std::vector<float>& out)
{
    const auto frames = std::size_t(m_ready - m_outBase);
    if (frames == 0)
        return 0;
    const auto channels = std::size_t(m_channels);
    out.reserve(out.size() + frames * channels);
    for (std::size_t frame = 0; frame < frames; ++frame) {
        float weight = m_weight[frame];
        for (std::size_t channel = 0; channel < channels; ++channel)
            out.push_back(weight > 0 ? m_sum[frame * channels + channel] / weight : 0.0f);
    }
    m_sum.erase(m_sum.begin(), m_sum.begin() + std::ptrdiff_t(frames * channels));
    m_weight.erase(m_weight.begin(), m_weight.begin() + std::ptrdiff_t(frames));
    m_outBase = m_ready;
    return frames;
}

std::optional<std::int64_t> TimeStretcher::SourceOf(std::int64_t frame) const
{
    // The piece heard most at `frame`: the last one started by then, or the
    // one before it while that one still sounds louder.
    const Piece* latest = nullptr;
    const Piece* before = nullptr;
    for (const std::deque<Piece>* pieces : {&m_added, &m_planned}) {
        for (const Piece& piece : *pieces) {
            if (piece.out > frame)
                break;
            before = latest;
            latest = &piece;
        }
    }
    if (!latest)
        return std::nullopt;
    auto weight = [&](const Piece& piece) {
        std::int64_t offset = frame - piece.out;
        return offset < m_length ? m_window[std::size_t(offset)] : 0.0f;
    };
    const Piece& heard = before && latest->shape != Shape::Tail && weight(*before) > weight(*latest) ? *before : *latest;
    return heard.in + (frame - heard.out);
}

void TimeStretcher::Plan()
{
    for (;;) {
        Piece piece{m_nextOut, 0, Shape::Head};
        if (!m_last) {
            if (m_inEnd < m_length + m_hop)
                break;
        } else {
            std::int64_t natural = m_last->in + (m_nextOut - m_last->out);
            auto nominal = std::int64_t(std::llround(double(m_nextOut) * m_speed));
            std::int64_t center = std::clamp(nominal, natural - m_hop, natural + m_hop);
            std::int64_t lowest = std::max<std::int64_t>(0, center - m_tolerance);
            std::int64_t highest = center + m_tolerance;
            // The piece, and the sound around the onsets it could touch.
            if (m_inEnd < std::max(highest, natural) + m_length + m_hop)
                break;
            piece.in = Choose(natural, nominal, lowest, highest);
            piece.shape = Shape::Middle;
        }
        m_planned.push_back(piece);
        m_last = piece;
        m_nextOut += m_hop;
    }
    // The output before the next piece is complete, but the last two pieces'
    // worth before the earliest possible end waits: the last piece must be
    // free to end there.
    auto earliestEnd = std::int64_t(double(m_inEnd) / m_speed);
    Commit(std::min(m_nextOut, earliestEnd - 2 * std::int64_t(m_length)));
    Forget();
}

void TimeStretcher::PlanEnd()
{
    const std::int64_t inputFrames = m_inEnd;
    const auto outputFrames = std::int64_t(std::llround(double(inputFrames) / m_speed));
    if (inputFrames < m_length || outputFrames < 2 * std::int64_t(m_length)) {
        MapShortStretch(inputFrames, outputFrames);
        return;
    }
    // The last piece ends on the last input frame, and its second half is
    // heard alone; the pieces that would sound there go.
    while (!m_planned.empty() && m_planned.back().out + m_length > outputFrames - m_hop)
        m_planned.pop_back();
    Piece from{0, 0, Shape::Head};
    if (!m_planned.empty())
        from = m_planned.back();
    else if (!m_added.empty())
        from = m_added.back();
    else
        m_planned.push_back(from);
    const Piece tail{outputFrames - m_length, inputFrames - m_length, Shape::Tail};
    // The pieces between, at most a hop apart, their input spread evenly;
    // none starts in output that is ready already.
    std::vector<std::int64_t> starts;
    std::int64_t start = from.out;
    if (m_ready > start) {
        start = m_ready;
        starts.push_back(start);
    }
    const std::int64_t gap = tail.out - start;
    const std::int64_t between = (gap + m_hop - 1) / m_hop - 1;
    for (std::int64_t i = 1; i <= between; ++i)
        starts.push_back(start + gap * i / (between + 1));
    Piece previous = from;
    for (std::int64_t out : starts) {
        std::int64_t natural = previous.in + (out - previous.out);
        std::int64_t nominal = from.in + (tail.in - from.in) * (out - from.out) / (tail.out - from.out);
        std::int64_t in = Choose(natural, nominal, std::max<std::int64_t>(0, nominal - m_tolerance),
                                 std::min(tail.in, nominal + m_tolerance));
        previous = Piece{out, std::min(tail.in, in), Shape::Middle};
        m_planned.push_back(previous);
    }
    m_planned.push_back(tail);
    m_last = tail;
    Commit(outputFrames);
}

void TimeStretcher::MapShortStretch(std::int64_t inputFrames, std::int64_t outputFrames)
{
    // Nothing is ready yet (the output waits two pieces before its earliest
    // end), and all of the input is kept.
    m_planned.clear();
    const auto channels = std::size_t(m_channels);
    m_sum.assign(std::size_t(outputFrames) * channels, 0.0f);
    m_weight.assign(std::size_t(outputFrames), 1.0f);
    for (std::int64_t frame = 0; frame < outputFrames && inputFrames > 0; ++frame) {
        std::int64_t source = outputFrames == 1 ? inputFrames - 1
                                                : std::llround(double(frame) * double(inputFrames - 1) /
                                                               double(outputFrames - 1));
        for (std::size_t channel = 0; channel < channels; ++channel)
            m_sum[std::size_t(frame) * channels + channel] = m_input[std::size_t(source) * channels + channel];
    }
    m_ready = outputFrames;
}

std::int64_t TimeStretcher::Choose(std::int64_t natural, std::int64_t nominal, std::int64_t lowest,
                                   std::int64_t highest) const
{
    // Starting elsewhere than the natural continuation repeats the sound
    // between (going back) or skips it (going forward).
    const bool guarded = std::llabs(natural - nominal) <= m_driftLimit;
    auto allowed = [&](std::int64_t start) {
        if (start == natural || !guarded)
            return true;
        return start < natural ? !m_onsets.Touch(start, natural + m_hop) : !m_onsets.Touch(natural, start + m_hop);
    };
    const float* continued = &m_mono[std::size_t(natural - m_inBase)];
    const double reference = Dot(continued, continued, m_hop);
    if (reference <= kSilence * m_hop) {
        // Silence goes on: the piece goes where the speed puts it.
        std::int64_t wanted = std::clamp(nominal, lowest, highest);
        for (std::int64_t distance = 0; distance <= highest - lowest; ++distance) {
            for (std::int64_t start : {wanted - distance, wanted + distance}) {
                if (start >= lowest && start <= highest && allowed(start))
                    return start;
            }
        }
        return natural;
    }
    std::optional<std::int64_t> best;
    double bestScore = 0;
    if (natural >= lowest && natural <= highest) {
        best = natural;
        bestScore = std::sqrt(reference);
    }
    double energy = 0;
    for (int i = 0; i < m_hop; ++i)
        energy += double(Mono(lowest + i)) * Mono(lowest + i);
    for (std::int64_t start = lowest; start <= highest; ++start) {
        if (start > lowest) {
            double entering = Mono(start + m_hop - 1);
            double leaving = Mono(start - 1);
            energy = std::max(0.0, energy + entering * entering - leaving * leaving);
        }
        if (start == natural || !allowed(start))
            continue;
        double score = Dot(continued, &m_mono[std::size_t(start - m_inBase)], m_hop) / std::sqrt(energy + kSilence);
        if (!best || score > bestScore * kBetterBy) {
            best = start;
            bestScore = score;
        }
    }
    return best.value_or(natural);
}

void TimeStretcher::Add(const Piece& piece)
{
    const auto channels = std::size_t(m_channels);
    const auto offset = std::size_t(piece.out - m_outBase);
    const std::size_t end = offset + std::size_t(m_length);
    if (m_weight.size() < end) {
        m_weight.resize(end, 0.0f);
        m_sum.resize(end * channels, 0.0f);
    }
    const float* source = &m_input[std::size_t(piece.in - m_inBase) * channels];
    for (std::size_t i = 0; i < std::size_t(m_length); ++i) {
        float weight = m_window[i];
        if ((piece.shape == Shape::Head && i < std::size_t(m_hop)) || (piece.shape == Shape::Tail && i >= std::size_t(m_hop)))
            weight = 1.0f;
        m_weight[offset + i] += weight;
        for (std::size_t channel = 0; channel < channels; ++channel)
            m_sum[(offset + i) * channels + channel] += weight * source[i * channels + channel];
    }
}

void TimeStretcher::Commit(std::int64_t limit)
{
    while (!m_planned.empty() && m_planned.front().out < limit) {
        Add(m_planned.front());
        m_added.push_back(m_planned.front());
        m_planned.pop_front();
    }
    while (m_added.size() > kRememberedPieces)
        m_added.pop_front();
    m_ready = std::max(m_ready, limit);
}

void TimeStretcher::Forget()
{
    // While nothing is ready the stretch may still turn out too short for
    // pieces, and all of it is needed.
    if (m_ready == 0 || !m_last)
        return;
    std::int64_t oldest = m_last->in;
    for (const Piece& piece : m_planned)
        oldest = std::min(oldest, piece.in);
    if (!m_added.empty())
        oldest = std::min(oldest, m_added.back().in);
    const std::int64_t keep = oldest - 2 * std::int64_t(m_length);
    if (keep - m_inBase < kDropChunk)
        return;
    const auto frames = std::size_t(keep - m_inBase);
    m_input.erase(m_input.begin(), m_input.begin() + std::ptrdiff_t(frames * std::size_t(m_channels)));
    m_mono.erase(m_mono.begin(), m_mono.begin() + std::ptrdiff_t(frames));
    m_inBase = keep;
    m_onsets.Forget(keep);
}
