// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/transcript/GstSubtitleStreams.h"

#include "components/GuiThread.h"
#include "components/transcript/CreateSubtitleStreams.h"
#include "components/transcript/SubtitlePass.h"

#include <stdexcept>

std::unique_ptr<SubtitleStreams> CreateSubtitleStreams()
{
    return std::make_unique<GstSubtitleStreams>();
}

GstSubtitleStreams::GstSubtitleStreams() = default;

GstSubtitleStreams::~GstSubtitleStreams()
{
    Q_ASSERT(OnGuiThread());
}

void GstSubtitleStreams::Read(const std::string& path)
{
    Q_ASSERT(OnGuiThread());
    m_pass.reset();
    try {
        m_pass = std::make_unique<SubtitlePass>(path, [this](SubtitleReading reading) {
            m_pass.reset();
            emit streamsRead(reading);
        });
    } catch (const std::exception& error) {
        emit streamsRead({path, {}, "cannot read the subtitle streams of \"" + path + "\": " + error.what()});
    }
}

void GstSubtitleStreams::Cancel()
{
    Q_ASSERT(OnGuiThread());
    m_pass.reset();
}
