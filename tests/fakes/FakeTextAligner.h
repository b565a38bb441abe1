// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/align/TextAligner.h"

#include <string>
#include <vector>

// An aligner that times nothing: a test reads what it was asked to align and
// hands the window the reports a real one would send (Report), when it likes.
class FakeTextAligner : public TextAligner {
public:
    struct Call {
        std::string mediaPath;
        std::string text;
        std::string voiceId;
    };

    std::vector<AlignVoice> Voices() const override { return voices; }
    void Align(const std::string& mediaPath, const std::string& text, const std::string& voiceId) override
    {
        calls.push_back({mediaPath, text, voiceId});
    }
    void Cancel() override { ++cancels; }

    // A report on the last alignment asked for, its media path filled in.
    void Report(AlignmentReport report)
    {
        if (!calls.empty())
            report.mediaPath = calls.back().mediaPath;
        emit progressed(report);
    }

    std::vector<AlignVoice> voices{{"de", "German"}, {"en", "English"}, {"zh", "Chinese (Mandarin)"}};
    std::vector<Call> calls;
    int cancels = 0;
};
