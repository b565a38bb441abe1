// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/profile/BlockFile.h"
#include "components/profile/BlockMeter.h"

#include <QObject>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// Makes a profile out of decoded sound on the decoder's streaming thread:
// measures the blocks, writes them to the block file, sums them up for the
// summary, and hands what is new to the GUI thread through its event loop a
// few times a second (the first time as soon as there is enough for a first
// look), so that the view fills in while the user works.
//
// Build and destroy it on the GUI thread; stop the streaming thread that
// calls Add before destroying it.
class ProfileBuilder {
public:
    // What the GUI thread has not taken yet.
    struct News {
        // The blocks written so far (all of them, not only the new ones).
        std::size_t blockCount = 0;
        // The summary entries that follow those taken before.
        std::vector<LevelBlock> summary;
        // Why the blocks could not be written; the builder then stops.
        std::optional<std::string> problem;
    };

    // `onNews` runs on the GUI thread when news waits (see TakeNews).
    ProfileBuilder(std::shared_ptr<const BlockFile> file, std::function<void()> onNews);

    // Streaming thread: measures a piece of sound.
    void Add(const SoundChunk& chunk);
    // GUI thread, once no more sound comes: the last block and the last
    // summary entry are written, as news.
    void Finish();
    // GUI thread: what is new since the last call.
    News TakeNews();

private:
    // Writes the measured blocks and makes the news of them.
    void HandOver(bool last);

    std::shared_ptr<const BlockFile> m_file;
    std::function<void()> m_onNews;
    BlockMeter m_meter;
    // Measured, not yet written.
    std::vector<LevelBlock> m_measured;
    // Written, not yet summed up in a whole summary entry.
    std::vector<LevelBlock> m_unsummarised;
    std::size_t m_written = 0;
    bool m_failed = false;
    bool m_handedOver = false;
    std::chrono::steady_clock::time_point m_lastHandOver = std::chrono::steady_clock::now();

    std::mutex m_mutex;
    News m_news;
    bool m_deliveryQueued = false;
    // Lives on the GUI thread; deliveries queued to it die with it.
    QObject m_guiContext;
};
