#pragma once

#include "components/GstHandles.h"

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
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

// The whole sound of a file decoded the same way (mono, float), and the
// position of its first sample (later than 0 in some program streams).
struct DecodedSound {
    double start = 0;
    std::vector<float> samples;
};
DecodedSound DecodeSound(const std::string& path);

// Where `played` sits in `reference`: the sample index near `expected` (within
// `radius` samples) at which the two agree best. `played` is compared from its
// sample `skip` on, past a decoder's first frame after a seek. Nothing when no
// place agrees closely.
std::optional<long> FindInReference(const std::vector<float>& reference, const std::vector<float>& played,
                                    long expected, long radius, std::size_t skip = 512);
