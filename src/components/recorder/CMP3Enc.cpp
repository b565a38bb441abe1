// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/recorder/CMP3Enc.h"

#include "components/GuiThread.h"
#include "components/MediaFramework.h"
#include "components/recorder/CaptureSession.h"
#include "components/recorder/EncoderSettings.h"
#include "components/recorder/RecorderError.h"

#include <algorithm>
#include <limits>

namespace {

std::int32_t Saturated(std::int64_t value)
{
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, std::numeric_limits<std::int32_t>::max()));
}

} // namespace

struct CMP3Enc::Impl {
    std::string input;
    std::string fileName;
    // The running recording, or the last one once it ended.
    std::unique_ptr<CaptureSession> session;
    // Why the last start failed.
    std::string startFailure;

    bool Running() const { return session && session->IsRunning(); }
};

CMP3Enc::CMP3Enc(std::string inputDescription) : m_impl(std::make_unique<Impl>())
{
    Q_ASSERT(OnGuiThread());
    m_impl->input = std::move(inputDescription);
}

// The session finishes a recording that still runs as it goes.
CMP3Enc::~CMP3Enc()
{
    Q_ASSERT(OnGuiThread());
}

void CMP3Enc::SetFileName(char* path)
{
    Q_ASSERT(OnGuiThread());
    m_impl->fileName = path ? path : "";
}

bool CMP3Enc::StartRec()
{
    Q_ASSERT(OnGuiThread());
    Impl& engine = *m_impl;
    if (engine.session)
        engine.session->HandlePendingMessages();
    if (engine.Running() && engine.session->WritesTo(engine.fileName)) {
        engine.session->Resume();
        return true;
    }
    engine.session.reset();
    engine.startFailure.clear();
    if (std::optional<std::string> problem = InitialiseMediaFramework()) {
        engine.startFailure = std::move(*problem);
        return false;
    }
    try {
        engine.session = std::make_unique<CaptureSession>(engine.input, engine.fileName);
    } catch (const RecorderError& error) {
        engine.startFailure = error.what();
        return false;
    }
    return true;
}

void CMP3Enc::PauseRec()
{
    Q_ASSERT(OnGuiThread());
    if (!m_impl->session)
        return;
    if (m_impl->session->IsPaused())
        m_impl->session->Resume();
    else
        m_impl->session->Pause();
}

void CMP3Enc::StopRec()
{
    Q_ASSERT(OnGuiThread());
    if (m_impl->session)
        m_impl->session->Finish();
}

std::int32_t CMP3Enc::GetRSec()
{
    Q_ASSERT(OnGuiThread());
    const auto& session = m_impl->session;
    return session ? Saturated(session->FramesCaptured() / encoder_settings::kSampleRate) : 0;
}

std::int64_t CMP3Enc::GetFileSize()
{
    Q_ASSERT(OnGuiThread());
    const auto& session = m_impl->session;
    return session ? session->BytesWritten() : 0;
}

bool CMP3Enc::IsRecording() const
{
    Q_ASSERT(OnGuiThread());
    return m_impl->Running();
}

std::string CMP3Enc::LastError() const
{
    Q_ASSERT(OnGuiThread());
    return m_impl->session ? m_impl->session->Problem() : m_impl->startFailure;
}
