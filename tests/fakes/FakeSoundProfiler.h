// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/profile/ProfileCache.h"
#include "components/profile/SoundProfiler.h"

#include <QDir>
#include <stdexcept>
#include <string>
#include <vector>

// A profiler that measures nothing: a test hands it the blocks a real one
// would make (Grow), ends the profile (Complete, Fail), and reads which files
// it was asked for and how often it was cancelled. The blocks go to a file
// without a name in the temporary folder, as a real profile's do.
class FakeSoundProfiler : public SoundProfiler {
public:
    void Analyse(const std::string& path) override
    {
        analysed.push_back(path);
        std::string problem;
        m_file = ProfileCache(QDir::tempPath().toStdString()).NewFile(FileIdentity{path}, problem);
        if (!m_file)
            throw std::runtime_error("no file for a profile: " + problem);
        m_blocks.clear();
        m_summarised = 0;
        m_profile.Begin(m_file);
        emit profileChanged();
    }
    void Cancel() override
    {
        ++cancels;
        m_profile.Clear();
        emit profileChanged();
    }
    const SoundProfile& Profile() const override { return m_profile; }

    // The profile grows by `blocks`.
    void Grow(const std::vector<LevelBlock>& blocks)
    {
        m_file->Write(m_blocks.size(), blocks);
        m_blocks.insert(m_blocks.end(), blocks.begin(), blocks.end());
        Announce(false);
    }
    // The profile of `seconds` of speech: loud where `sounds` (start, end in
    // seconds) lie, near silence elsewhere; complete.
    void Speak(const std::vector<std::pair<double, double>>& sounds, double seconds)
    {
        std::vector<LevelBlock> blocks(std::size_t(seconds * kBlocksPerSecond), LevelBlock{-3, 3, 3});
        for (auto [start, end] : sounds) {
            for (auto block = std::size_t(start * kBlocksPerSecond); block < std::size_t(end * kBlocksPerSecond); ++block)
                blocks.at(block) = LevelBlock{-9000, 9000, 4000};
        }
        Grow(blocks);
        Complete();
    }
    void Complete()
    {
        Announce(true);
        m_profile.Complete();
        emit profileChanged();
    }
    void Fail(const std::string& problem)
    {
        m_profile.Fail(problem);
        emit profileChanged();
    }

    std::vector<std::string> analysed;
    int cancels = 0;

private:
    void Announce(bool last)
    {
        std::vector<LevelBlock> summary = Summarise(std::span(m_blocks).subspan(m_summarised), last);
        m_summarised = last ? m_blocks.size() : m_summarised + summary.size() * kSummaryBlocks;
        m_profile.Extend(m_blocks.size(), summary);
        emit profileChanged();
    }

    SoundProfile m_profile;
    std::shared_ptr<BlockFile> m_file;
    std::vector<LevelBlock> m_blocks;
    std::size_t m_summarised = 0;
};
