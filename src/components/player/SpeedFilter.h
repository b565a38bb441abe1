// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/GstHandles.h"

// The player's sound filter (playbin's audio-filter): plays the sound at the
// rate that the seeks carry in their segments, at its own pitch (see
// TimeStretcher). Upstream of it everything stays in media time; the segment it
// passes on has rate 1, the seek's rate as its applied rate and its stop where
// the slowed (or hurried) sound ends, so that the sink's positions are media
// seconds and the sound ends on the segment's last sample. At rate 1 the sound
// passes untouched.
class SpeedFilter {
public:
    // Throws PlayerFault (CannotCreate) when the framework lacks audioconvert.
    SpeedFilter();

    GstElement* element() const { return m_bin.get(); }

    // Where in the media (stream seconds) the sound comes from that plays at
    // `seconds`, as the sound output reports where it plays. A stretched
    // sound runs a few milliseconds ahead of or behind that report; at the
    // media's own speed, or before the sound is known, it is `seconds`.
    // Called from any thread.
    double SourceOf(double seconds) const;

private:
    GstElementHandle m_bin;
    GstElement* m_stretch;
};
