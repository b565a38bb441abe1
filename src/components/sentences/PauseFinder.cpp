// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/sentences/PauseFinder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

// Levels are counted in quarter-dB bins from kLowest to kHighest dB.
constexpr double kLowest = -120;
constexpr double kHighest = 10;
constexpr double kBinWidth = 0.25;
constexpr std::size_t kBins = std::size_t((kHighest - kLowest) / kBinWidth) + 1;

// Below this the loudest speech is no speech at all: silence only.
constexpr double kSilenceOnly = -60;
// Less than this between the noise floor and the speech level leaves no
// pause to find: all the sound is one sentence.
constexpr double kLeastContrast = 6;
// Percentiles of the block levels taken as the noise floor and the speech level.
constexpr double kNoisePercentile = 0.10;
constexpr double kSpeechPercentile = 0.95;
// Where between the two a block starts sound (on) and where sound ends (off);
// the gap between them keeps a level that wavers from flipping the decision.
// A sentence's first sound reaches back to where its level rose above off.
constexpr double kOnShare = 0.40;
constexpr double kOffShare = 0.15;

double ToDb(double power)
{
    return 10 * std::log10(std::max(power, 1e-13));
}

double ToPower(double db)
{
    return std::pow(10.0, db / 10);
}

// Each level as the mean power of it and its two neighbours, in dB: a single
// block's dip or spike (a click, a stop consonant) counts less. Hands the
// levels on one block late; Finish hands on the last.
class Smoother {
public:
    template <typename Consume>
    void Add(float db, Consume&& consume)
    {
        m_window[0] = m_window[1];
        m_window[1] = m_window[2];
        m_window[2] = ToPower(db);
        if (++m_seen >= 2)
            consume(float(ToDb(Mean(m_seen == 2 ? 1 : 0))));
    }
    template <typename Consume>
    void Finish(Consume&& consume)
    {
        if (m_seen == 0)
            return;
        // The last block has no right neighbour.
        m_window[0] = m_window[1];
        m_window[1] = m_window[2];
        consume(float(ToDb(Mean(m_seen == 1 ? 1 : 0, 2))));
    }

private:
    double Mean(std::size_t first, std::size_t end = 3) const
    {
        double sum = 0;
        for (std::size_t i = first; i < end; ++i)
            sum += m_window[i];
        return sum / double(end - first);
    }

    std::array<double, 3> m_window{};
    std::size_t m_seen = 0;
};

// Hands every smoothed level of the stream to `consume`, in order.
template <typename Consume>
void ForEachSmoothed(const LevelStream& levels, Consume&& consume)
{
    Smoother smoother;
    levels([&](std::span<const float> chunk) {
        for (float db : chunk)
            smoother.Add(db, consume);
    });
    smoother.Finish(consume);
}

class Histogram {
public:
    void Add(float db)
    {
        const double clamped = std::clamp(double(db), kLowest, kHighest);
        ++m_counts[std::size_t((clamped - kLowest) / kBinWidth)];
        ++m_total;
    }
    std::size_t Total() const { return m_total; }
    double Percentile(double share) const
    {
        const auto wanted = std::size_t(share * double(m_total));
        std::size_t seen = 0;
        for (std::size_t bin = 0; bin < kBins; ++bin) {
            seen += m_counts[bin];
            if (seen > wanted)
                return kLowest + double(bin) * kBinWidth;
        }
        return kHighest;
    }

private:
    std::array<std::size_t, kBins> m_counts{};
    std::size_t m_total = 0;
};

// A stretch of blocks that all hold sound, or all hold none.
struct Run {
    bool sound = false;
    std::size_t first = 0;
    std::size_t length = 0;
    std::size_t End() const { return first + length; }
};

// Splits the stream into runs of sound and of silence, with hysteresis.
std::vector<Run> Runs(const LevelStream& levels, double on, double off)
{
    std::vector<Run> runs;
    bool sound = false;
    std::size_t block = 0;
    // While silent: where the level last rose above off, so that a sound
    // that begins softly keeps its soft start.
    std::size_t risingSince = 0;
    bool rising = false;
    auto extend = [&](bool isSound, std::size_t from) {
        if (runs.empty() || runs.back().sound != isSound)
            runs.push_back({isSound, from, 0});
        runs.back().length = block + 1 - runs.back().first;
    };
    ForEachSmoothed(levels, [&](float db) {
        if (!sound) {
            if (db > off && !rising) {
                rising = true;
                risingSince = block;
            } else if (db <= off) {
                rising = false;
            }
            if (db > on) {
                sound = true;
                // The blocks since the rise leave the silence for the sound.
                if (!runs.empty() && !runs.back().sound) {
                    runs.back().length = risingSince - runs.back().first;
                    if (runs.back().length == 0)
                        runs.pop_back();
                }
                runs.push_back({true, risingSince, 0});
            }
        } else if (db <= off) {
            sound = false;
            rising = false;
        }
        extend(sound, block);
        ++block;
    });
    return runs;
}

// A sentence as a range of runs [firstRun, endRun): it begins and ends with sound.
struct Piece {
    std::size_t firstRun = 0;
    std::size_t endRun = 0;
};

class Sentences {
public:
    Sentences(std::vector<Run> runs, double blockSeconds, const PauseFinderSettings& settings)
        : m_runs(std::move(runs)), m_block(blockSeconds), m_settings(settings)
    {
    }

    SentenceMap Find()
    {
        SplitAtPauses();
        JoinShort();
        SplitLong();
        return Map();
    }

private:
    double Seconds(std::size_t blocks) const { return double(blocks) * m_block; }
    std::size_t Start(const Piece& piece) const { return m_runs[piece.firstRun].first; }
    std::size_t End(const Piece& piece) const { return m_runs[piece.endRun - 1].End(); }
    double Length(const Piece& piece) const { return Seconds(End(piece) - Start(piece)); }
    // The silence between two pieces in a row, in blocks.
    std::size_t Gap(const Piece& before, const Piece& after) const { return Start(after) - End(before); }

    void SplitAtPauses()
    {
        const auto shortest = std::size_t(std::ceil(m_settings.shortestPause / m_block));
        std::size_t first = m_runs.size();
        for (std::size_t i = 0; i < m_runs.size(); ++i) {
            if (m_runs[i].sound) {
                if (first == m_runs.size())
                    first = i;
                continue;
            }
            if (first != m_runs.size() && m_runs[i].length >= shortest) {
                m_pieces.push_back({first, i});
                first = m_runs.size();
            }
        }
        if (first != m_runs.size()) {
            std::size_t end = m_runs.size();
            while (!m_runs[end - 1].sound)
                --end;
            m_pieces.push_back({first, end});
        }
    }

    void JoinShort()
    {
        while (m_pieces.size() > 1) {
            auto shortest = std::min_element(m_pieces.begin(), m_pieces.end(), [this](const Piece& a, const Piece& b) {
                return Length(a) < Length(b);
            });
            if (Length(*shortest) >= m_settings.shortestSentence)
                return;
            const std::size_t at = std::size_t(shortest - m_pieces.begin());
            // Joined across the shorter of the pauses around it.
            const bool withNext =
                at == 0 || (at + 1 < m_pieces.size()
                            && Gap(m_pieces[at], m_pieces[at + 1]) < Gap(m_pieces[at - 1], m_pieces[at]));
            const std::size_t left = withNext ? at : at - 1;
            m_pieces[left].endRun = m_pieces[left + 1].endRun;
            m_pieces.erase(m_pieces.begin() + std::ptrdiff_t(left) + 1);
        }
    }

    void SplitLong()
    {
        std::vector<Piece> split;
        for (const Piece& piece : m_pieces)
            SplitInto(piece, split);
        m_pieces = std::move(split);
    }

    void SplitInto(const Piece& piece, std::vector<Piece>& out) const
    {
        std::size_t longest = 0;
        for (std::size_t i = piece.firstRun + 1; i + 1 < piece.endRun; ++i) {
            if (!m_runs[i].sound && (longest == 0 || m_runs[i].length > m_runs[longest].length))
                longest = i;
        }
        if (Length(piece) <= m_settings.longestSentence || longest == 0) {
            out.push_back(piece);
            return;
        }
        SplitInto({piece.firstRun, longest}, out);
        SplitInto({longest + 1, piece.endRun}, out);
    }

    SentenceMap Map() const
    {
        SentenceMap map;
        const std::size_t blocks = m_runs.empty() ? 0 : m_runs.back().End();
        for (std::size_t i = 0; i < m_pieces.size(); ++i) {
            const std::size_t start = Start(m_pieces[i]);
            const std::size_t end = End(m_pieces[i]);
            const std::size_t before = i == 0 ? 2 * start : Gap(m_pieces[i - 1], m_pieces[i]);
            const std::size_t after = i + 1 == m_pieces.size() ? 2 * (blocks - end) : Gap(m_pieces[i], m_pieces[i + 1]);
            map.sentences.push_back({Seconds(start) - std::min(m_settings.margin, Seconds(before) / 2),
                                     Seconds(end) + std::min(m_settings.margin, Seconds(after) / 2)});
            map.sounds.push_back({Seconds(start), Seconds(end)});
            if (i + 1 < m_pieces.size())
                map.pauses.push_back({Seconds(end), Seconds(Start(m_pieces[i + 1]))});
        }
        if (!m_pieces.empty()) {
            const auto shortest = std::size_t(std::ceil(m_settings.shortestSilence / m_block));
            for (const Run& run : m_runs)
                if (!run.sound && run.length >= shortest)
                    map.silences.push_back({Seconds(run.first), Seconds(run.End())});
        }
        return map;
    }

    std::vector<Run> m_runs;
    double m_block;
    PauseFinderSettings m_settings;
    std::vector<Piece> m_pieces;
};

} // namespace

SentenceMap FindSentences(const LevelStream& levels, double blockSeconds, const PauseFinderSettings& settings)
{
    Histogram histogram;
    ForEachSmoothed(levels, [&](float db) { histogram.Add(db); });
    if (histogram.Total() == 0)
        return {};
    const double noise = histogram.Percentile(kNoisePercentile);
    const double speech = histogram.Percentile(kSpeechPercentile);
    if (speech < kSilenceOnly)
        return {};
    const double contrast = speech - noise;
    const double on = contrast < kLeastContrast ? kSilenceOnly : noise + kOnShare * contrast;
    const double off = contrast < kLeastContrast ? kSilenceOnly : noise + kOffShare * contrast;
    return Sentences(Runs(levels, on, off), blockSeconds, settings).Find();
}
