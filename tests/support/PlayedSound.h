// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/GstHandles.h"
// What the played sound is compared with: the file decoded apart.
#include "support/SoundDecoder.h"

#include <atomic>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// A sound output for the player under test that keeps what reaches it: the
// samples (mono, float, at the file's rate) from the last flush or stream start
// on, clipped to the playback segment, as a sound card would play them. It
// keeps time like a sound card (sync).
class SoundCapture {
public:
    SoundCapture();
    ~SoundCapture();
    SoundCapture(const SoundCapture&) = delete;
    SoundCapture& operator=(const SoundCapture&) = delete;

    // The output to give the player (a new reference each call).
    GstElementHandle Sink() const;

    std::vector<float> Played() const;
    std::size_t PlayedCount() const;
    int Rate() const;

private:
    static GstPadProbeReturn OnData(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    void Keep(GstBuffer* buffer);

    GstElementHandle m_bin;
    GstPadHandle m_pad;
    gulong m_probe = 0;
    mutable std::mutex m_mutex;
    std::vector<float> m_played;
    GstSegment m_segment{};
    int m_rate = 0;
};

// What a sound server plays on its sink "spk", recorded at the sink's monitor
// (mono, float, 44.1 kHz) from construction on, as a listener would hear it.
// The server is the one PULSE_SERVER names (see PrivatePulseSession).
class ServerRecording {
public:
    static constexpr int kRate = 44100;

    ServerRecording();
    ~ServerRecording();
    ServerRecording(const ServerRecording&) = delete;
    ServerRecording& operator=(const ServerRecording&) = delete;

    // Waits (at most 5 s: a server's first recording takes a while to start)
    // until the monitor delivers sound; false when it does not.
    bool WaitUntilListening();
    std::size_t Size() const;
    // The samples recorded from sample `first` on.
    std::vector<float> From(std::size_t first) const;

private:
    void Read();

    GstPipelineHandle m_pipeline;
    GstElementHandle m_sink;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<float> m_samples;
    std::thread m_reader;
};

// The samples of `recorded` after its leading silence; `silence` receives how
// many samples of silence there were.
std::vector<float> AfterSilence(const std::vector<float>& recorded, std::size_t& silence);

// Where `played` sits in `reference`: the sample index near `expected` (within
// `radius` samples) at which the two agree best. `played` is compared from its
// sample `skip` on, past a decoder's first frame after a seek, for `window`
// samples. Nothing when no place agrees closely.
std::optional<long> FindInReference(const std::vector<float>& reference, const std::vector<float>& played,
                                    long expected, long radius, std::size_t skip = 512, std::size_t window = 1024);

// What a listener heard of a file in one stretch of a recording: where the
// sound came from in the file, found by its content at both ends.
struct HeardSpan {
    // Samples of silence before the first sound.
    std::size_t silenceBefore = 0;
    // File sample of the first sound heard, and the one just past the last.
    long first = 0;
    long last = 0;
    // Silences of 1 ms or more between the first sound and the last.
    std::size_t gaps = 0;
};
// Locates the sound in `recorded` in `reference`, its first sample near
// `expectedFirst` and its end near `expectedLast` (each within `radius`).
// Nothing when no sound was heard or it is not the file near those places.
std::optional<HeardSpan> LocateHeard(const std::vector<float>& reference, const std::vector<float>& recorded,
                                     long expectedFirst, long expectedLast, long radius);
