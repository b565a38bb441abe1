// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/transcript/SubtitleStreams.h"

#include <memory>

class SubtitlePass;

// The reader of text streams over the media framework: a SubtitlePass of its
// own for each file, dropped (and so stopped) by the next Read, Cancel or the
// reader's end.
class GstSubtitleStreams : public SubtitleStreams {
public:
    GstSubtitleStreams();
    ~GstSubtitleStreams() override;

    // When no pass can be built, says why through streamsRead before it returns.
    void Read(const std::string& path) override;
    void Cancel() override;

private:
    std::unique_ptr<SubtitlePass> m_pass;
};
