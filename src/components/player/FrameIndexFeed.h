// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/GstHandles.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>

class MpegFrameIndex;

// Gives the framework's MPEG audio parser the frame index of the file it
// reads, as the seek index it otherwise builds only from what it has read. An
// exact seek in a long MP3 then reads from the indexed frame before its target
// instead of parsing the file from its start (about a second per hour of a
// 128 kbit/s file), and costs the same anywhere in the file. Each entry
// carries its frame's exact time, the frame's first sample: the parser's own
// entries add up frame durations rounded down to the nanosecond, which puts
// an exact seek at hour ten of a 44.1 kHz file 1.3 ms late.
//
// Only a parser that reads the file itself (an .mp3 or .mp2, not sound inside
// a program stream) is given an index, and only when the first frame it
// delivered is where the index has the stream start. When the stream
// has no Xing or VBRI table, the parser's guessed length is replaced by the
// counted one.
//
// Lives on the GUI thread, beside the pipeline it watches.
class FrameIndexFeed {
public:
    explicit FrameIndexFeed(GstElement* pipeline);
    // Called with the pipeline stopped (NULL).
    ~FrameIndexFeed();
    FrameIndexFeed(const FrameIndexFeed&) = delete;
    FrameIndexFeed& operator=(const FrameIndexFeed&) = delete;

    // The pipeline was emptied: its parser has gone.
    void Reset();
    // Whether the pipeline's parser can take `index`.
    bool Serves(const MpegFrameIndex& index);
    // Whether `index` has found what the parser has not been given yet.
    bool HasNews(const MpegFrameIndex& index);
    // Gives the parser what it has not been given yet. Only while the
    // pipeline does not stream: paused and settled, or stopped at the end.
    void Feed(const MpegFrameIndex& index);

private:
    static void OnElementAdded(GstBin* pipeline, GstBin* bin, GstElement* element, gpointer self);
    static GstPadProbeReturn OnFirstFrame(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    // The parser, when it reads the file and the index lies as it does.
    GstElement* Parser(const MpegFrameIndex& index);

    GstElement* m_pipeline;
    gulong m_elementAdded = 0;
    std::mutex m_mutex;
    GstElementHandle m_parser;
    // More than one parser: sound inside some container, not for this index.
    bool m_severalParsers = false;
    // Offset of the first frame the parser delivered, counted from where it
    // starts reading (after an ID3v2 tag).
    std::optional<std::uint64_t> m_firstFrame;
    // Entries given so far, and whether the length was.
    std::size_t m_entriesGiven = 0;
    bool m_lengthGiven = false;
};
