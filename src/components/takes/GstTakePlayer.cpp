// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/takes/GstTakePlayer.h"

#include "components/BusError.h"
#include "components/BusWatcher.h"
#include "components/GuiThread.h"
#include "components/MediaFramework.h"
#include "components/recorder/EncoderSettings.h"
#include "components/takes/PlaybackStart.h"
#include "components/takes/TakeDecoding.h"

#include <gst/app/gstappsrc.h>
#include <gst/audio/audio.h>

#include <algorithm>
#include <stdexcept>

GstTakePlayer::GstTakePlayer() = default;

GstTakePlayer::~GstTakePlayer()
{
    Stop();
}

bool GstTakePlayer::Play(const std::string& path)
{
    return Start(path, std::nullopt);
}

bool GstTakePlayer::PlayStretch(const std::string& path, const TimeSpan& stretch)
{
    return Start(path, stretch);
}

bool GstTakePlayer::Start(const std::string& path, const std::optional<TimeSpan>& stretch)
{
    Q_ASSERT(OnGuiThread());
    Stop();
    m_error.clear();
    if (std::optional<std::string> problem = InitialiseMediaFramework()) {
        m_error = std::move(*problem);
        return false;
    }
    std::vector<std::int16_t> sound;
    try {
        sound = DecodeTake(path);
    } catch (const std::runtime_error& error) {
        m_error = error.what();
        return false;
    }
    constexpr int kChannels = encoder_settings::kChannels;
    const std::size_t frames = sound.size() / kChannels;
    const auto frameAt = [&](double seconds) {
        return std::min(frames, std::size_t(std::max(0.0, seconds) * encoder_settings::kSampleRate));
    };
    const std::size_t first =
        (stretch ? frameAt(stretch->start) : PlaybackStart(sound, kChannels, encoder_settings::kSampleRate)) * kChannels;
    const std::size_t last = stretch ? std::max(first, frameAt(stretch->end) * kChannels) : sound.size();
    if (last == first) {
        m_error = TakePlaybackFailure(path, "it holds no sound");
        return false;
    }

    const std::string description = std::string("appsrc name=take format=time caps=audio/x-raw,format=")
                                    + GST_AUDIO_NE(S16) + ",layout=interleaved,rate="
                                    + std::to_string(encoder_settings::kSampleRate)
                                    + ",channels=" + std::to_string(kChannels)
                                    + " ! audioconvert ! audioresample ! autoaudiosink";
    GError* rawError = nullptr;
    GstPipelineHandle pipeline = AdoptPipeline(gst_parse_launch(description.c_str(), &rawError));
    if (const GErrorHandle parseError(rawError); parseError || !pipeline) {
        m_error = TakePlaybackFailure(path, parseError ? parseError->message : "no sound output");
        return false;
    }
    const GstElementHandle source(gst_bin_get_by_name(GST_BIN(pipeline.get()), "take"));
    const std::size_t bytes = (last - first) * sizeof(std::int16_t);
    GstBuffer* buffer = gst_buffer_new_memdup(sound.data() + first, bytes);
    GST_BUFFER_PTS(buffer) = 0;
    GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale(bytes / encoder_settings::kBytesPerFrame, GST_SECOND,
                                                        encoder_settings::kSampleRate);
    gst_app_src_push_buffer(GST_APP_SRC(source.get()), buffer);
    gst_app_src_end_of_stream(GST_APP_SRC(source.get()));

    m_bus = std::make_unique<BusWatcher>(GstBusHandle(gst_element_get_bus(pipeline.get())),
                                         [this](GstMessage* message) { OnBusMessage(message); });
    m_pipeline = std::move(pipeline);
    ++m_plays;
    if (gst_element_set_state(m_pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        m_bus->Drain();
        if (m_error.empty())
            m_error = TakePlaybackFailure(path, "the sound output could not be started");
        Stop();
        return false;
    }
    return true;
}

void GstTakePlayer::Stop()
{
    Q_ASSERT(OnGuiThread());
    m_pipeline.reset();
    m_bus.reset();
}

void GstTakePlayer::OnBusMessage(GstMessage* message)
{
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR:
        m_error = "Playing the take failed: " + BusError::FromMessage(message).Describe() + ".";
        Finish();
        break;
    case GST_MESSAGE_EOS:
        Finish();
        break;
    default:
        break;
    }
}

// The pipeline goes once the bus handler has returned: the watcher may not be
// destroyed from inside its own handler.
void GstTakePlayer::Finish()
{
    QMetaObject::invokeMethod(
        this,
        [this, play = m_plays] {
            if (!m_pipeline || play != m_plays)
                return;
            Stop();
            emit finished();
        },
        Qt::QueuedConnection);
}
