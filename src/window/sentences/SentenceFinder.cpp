// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/sentences/SentenceFinder.h"

#include "components/profile/SoundProfile.h"
#include "window/media/MediaProfile.h"

#include <cmath>

namespace {

// Profile blocks read at a time while the levels are handed to the finder.
constexpr std::size_t kPiece = 16384;
// Between two findings while the profile grows, at least this long, and at
// least four times as long as the last one took.
constexpr qint64 kLeastWaitMs = 1000;

// The profile's RMS levels in dB, piece by piece.
LevelStream LevelsOf(const SoundProfile& profile)
{
    return [&profile](const std::function<void(std::span<const float>)>& consume) {
        std::vector<LevelBlock> blocks(kPiece);
        std::vector<float> levels;
        for (std::size_t first = 0; first < profile.BlockCount();) {
            const std::size_t read = profile.ReadBlocks(first, blocks);
            if (read == 0)
                return;
            levels.resize(read);
            for (std::size_t i = 0; i < read; ++i)
                levels[i] = float(20 * std::log10(std::max(double(blocks[i].rms), 0.1) / kFullScale));
            consume(levels);
            first += read;
        }
    };
}

} // namespace

SentenceFinder::SentenceFinder(const MediaProfile& profile) : m_profile(profile)
{
    m_sinceLast.start();
    m_next.setSingleShot(true);
    connect(&m_next, &QTimer::timeout, this, [this] { Find(); });
    connect(&profile, &MediaProfile::profileChanged, this, [this] { OnProfileChanged(); });
}

void SentenceFinder::SetShortestPause(double seconds)
{
    m_settings.shortestPause = std::clamp(seconds, 0.15, 1.2);
    if (m_state != State::NoSound)
        Find();
}

void SentenceFinder::OnProfileChanged()
{
    const SoundProfile& profile = m_profile.Profile();
    const bool analysing = profile.State() == SoundProfile::Progress::Analysing;
    if (profile.State() == SoundProfile::Progress::Complete || (analysing && profile.BlockCount() == 0)) {
        m_next.stop();
        Find();
        return;
    }
    if (!analysing) {
        // No media any more, or its sound cannot be analysed.
        m_next.stop();
        m_state = State::NoSound;
        m_map = {};
        emit mapChanged();
        emit sentencesChanged();
        return;
    }
    if (m_next.isActive())
        return;
    const qint64 wait = std::max(kLeastWaitMs, 4 * m_lastCostMs);
    m_next.start(int(std::max<qint64>(0, wait - m_sinceLast.elapsed())));
}

void SentenceFinder::SetGivenSentences(std::optional<std::vector<TimeSpan>> sentences)
{
    if (m_given == sentences)
        return;
    m_given = std::move(sentences);
    emit sentencesChanged();
}

void SentenceFinder::Find()
{
    const SoundProfile& profile = m_profile.Profile();
    QElapsedTimer cost;
    cost.start();
    m_map = FindSentences(LevelsOf(profile), 1.0 / kBlocksPerSecond, m_settings);
    m_lastCostMs = cost.elapsed();
    m_sinceLast.start();
    m_state = profile.State() == SoundProfile::Progress::Complete ? State::Found : State::Finding;
    emit mapChanged();
    emit sentencesChanged();
}
