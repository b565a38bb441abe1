#include "components/recorder/CMP3Enc.h"

#include "components/GstHandles.h"
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
    std::string lastError;

    bool Running() const { return session && session->IsRunning(); }

    void TakeNoteOfStream()
    {
        if (!session)
            return;
        if (std::optional<std::string> reason = session->CheckStream())
            lastError = std::move(*reason);
    }

    void Finish()
    {
        if (!Running())
            return;
        if (std::string reason = session->Finish(); !reason.empty())
            lastError = std::move(reason);
    }
};

CMP3Enc::CMP3Enc(std::string inputDescription) : m_impl(std::make_unique<Impl>())
{
    m_impl->input = std::move(inputDescription);
    GError* rawError = nullptr;
    if (!gst_init_check(nullptr, nullptr, &rawError)) {
        const GErrorHandle error(rawError);
        m_impl->lastError = std::string("GStreamer could not be initialised: ")
                            + (error ? error->message : "unknown error") + ".";
    }
}

CMP3Enc::~CMP3Enc()
{
    m_impl->Finish();
}

void CMP3Enc::SetFileName(char* path)
{
    m_impl->fileName = path ? path : "";
}

bool CMP3Enc::StartRec()
{
    Impl& engine = *m_impl;
    engine.TakeNoteOfStream();
    if (engine.Running() && engine.session->WritesTo(engine.fileName)) {
        engine.session->Resume();
        engine.lastError.clear();
        return true;
    }
    engine.Finish();
    engine.session.reset();
    if (!gst_is_initialized())
        return false; // lastError has said why since construction
    try {
        engine.session = std::make_unique<CaptureSession>(engine.input, engine.fileName);
    } catch (const RecorderError& error) {
        engine.lastError = error.what();
        return false;
    }
    engine.lastError.clear();
    return true;
}

void CMP3Enc::PauseRec()
{
    m_impl->TakeNoteOfStream();
    if (!m_impl->Running())
        return;
    if (m_impl->session->IsPaused())
        m_impl->session->Resume();
    else
        m_impl->session->Pause();
}

void CMP3Enc::StopRec()
{
    m_impl->TakeNoteOfStream();
    m_impl->Finish();
}

std::int32_t CMP3Enc::GetRSec()
{
    m_impl->TakeNoteOfStream();
    const auto& session = m_impl->session;
    return session ? Saturated(session->FramesCaptured() / encoder_settings::kSampleRate) : 0;
}

std::int32_t CMP3Enc::GetFileSize()
{
    m_impl->TakeNoteOfStream();
    const auto& session = m_impl->session;
    return session ? Saturated(session->BytesWritten()) : 0;
}

bool CMP3Enc::IsRecording() const
{
    m_impl->TakeNoteOfStream();
    return m_impl->Running();
}

std::string CMP3Enc::LastError() const
{
    m_impl->TakeNoteOfStream();
    return m_impl->lastError;
}
