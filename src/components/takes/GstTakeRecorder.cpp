// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/takes/GstTakeRecorder.h"

#include "components/GuiThread.h"
#include "components/MediaFramework.h"
#include "components/recorder/CaptureSession.h"
#include "components/recorder/EncoderSettings.h"
#include "components/recorder/RecorderError.h"
#include "components/takes/VoiceActivity.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// A capture that failed is noticed this late at most; failures need no haste.
constexpr int kWatchMs = 100;

std::string MakeFolderFailure(const fs::path& folder, const std::error_code& error)
{
    return "Cannot make the folder for takes \"" + folder.string() + "\": " + error.message() + ".";
}

} // namespace

std::string GstTakeRecorder::NotKept(const std::string& cause) const
{
    return "The take \"" + m_path + "\" was not kept (an earlier take of this sentence stays): " + cause;
}

GstTakeRecorder::GstTakeRecorder(std::string input) : m_input(std::move(input))
{
    m_watch.setInterval(kWatchMs);
    connect(&m_watch, &QTimer::timeout, this, &GstTakeRecorder::CheckCapture);
}

GstTakeRecorder::~GstTakeRecorder()
{
    Cancel();
}

std::string GstTakeRecorder::PartialPath(const std::string& path)
{
    const fs::path take(path);
    return (take.parent_path() / ("." + take.filename().string() + ".part")).string();
}

bool GstTakeRecorder::Record(const std::string& path, double longestSeconds)
{
    Q_ASSERT(OnGuiThread());
    Cancel();
    m_error.clear();
    if (std::optional<std::string> problem = InitialiseMediaFramework()) {
        m_error = std::move(*problem);
        return false;
    }
    const fs::path folder = fs::path(path).parent_path();
    std::error_code madeFolder;
    fs::create_directories(folder, madeFolder);
    if (madeFolder) {
        m_error = MakeFolderFailure(folder, madeFolder);
        return false;
    }
    // The streaming thread owns the voice activity; its verdict reaches the
    // GUI thread through the event loop, once, for this take only. Events
    // still queued for this object when it goes are dropped with it.
    ++m_takes;
    VoiceActivity::Rules rules;
    rules.rate = encoder_settings::kSampleRate;
    rules.channels = encoder_settings::kChannels;
    rules.longest = longestSeconds;
    auto activity = std::make_shared<VoiceActivity>(rules);
    auto listener = [this, activity, take = m_takes](std::span<const std::int16_t> samples) {
        if (activity->Over() || !activity->Feed(samples))
            return;
        QMetaObject::invokeMethod(
            this,
            [this, take, spoke = activity->Spoke()] {
                if (take == m_takes)
                    OnOver(spoke);
            },
            Qt::QueuedConnection);
    };
    try {
        m_session = std::make_unique<CaptureSession>(m_input, PartialPath(path), std::move(listener));
    } catch (const RecorderError& error) {
        m_error = error.what();
        return false;
    }
    m_path = path;
    m_watch.start();
    return true;
}

void GstTakeRecorder::Cancel()
{
    Q_ASSERT(OnGuiThread());
    if (!m_session)
        return;
    m_watch.stop();
    m_session.reset();
    std::remove(PartialPath(m_path).c_str());
}

bool GstTakeRecorder::IsRecording() const
{
    return m_session && m_session->IsRunning();
}

void GstTakeRecorder::OnOver(bool spoke)
{
    if (!IsRecording())
        return;
    m_session->Finish();
    if (!m_session->Cause().empty()) {
        m_error = NotKept(m_session->Cause());
        End(Outcome::Failed);
        return;
    }
    if (!spoke) {
        End(Outcome::NoSpeech);
        return;
    }
    // The capture forced the take to the disk as it closed it: only now may
    // it replace the earlier one.
    std::error_code renamed;
    fs::rename(PartialPath(m_path), m_path, renamed);
    if (renamed) {
        m_error = "Cannot keep the take \"" + m_path + "\": " + renamed.message() + ".";
        End(Outcome::Failed);
        return;
    }
    m_session.reset();
    m_watch.stop();
    emit takeEnded(Outcome::Kept);
}

void GstTakeRecorder::CheckCapture()
{
    if (!m_session)
        return;
    m_session->HandlePendingMessages();
    if (m_session->IsRunning())
        return;
    m_error = NotKept(m_session->Cause().empty() ? "the sound input stopped." : m_session->Cause());
    End(Outcome::Failed);
}

void GstTakeRecorder::End(Outcome outcome)
{
    Cancel();
    emit takeEnded(outcome);
}
