// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlayerFixture.h"

#include "components/player/VideoFrameSink.h"

#include <gst/app/gstappsink.h>
#include <filesystem>
#include <iterator>
#include <stdexcept>

// Video: frames of MPEG program streams and Video CD files reach the surface,
// while paused, after a seek and while playing.

namespace {

struct Frame {
    double seconds;
    QImage image;
};

// Every frame of a video file with its position, decoded apart from the player
// and converted the way the player converts.
std::vector<Frame> ReferenceFrames(const std::string& path)
{
    GError* rawError = nullptr;
    GstPipelineHandle pipeline = AdoptPipeline(gst_parse_launch(
        "filesrc name=in ! decodebin ! videoconvert ! videoscale "
        "! video/x-raw,format=RGBx,pixel-aspect-ratio=1/1 ! appsink name=out sync=false",
        &rawError));
    GErrorHandle error(rawError);
    if (!pipeline)
        throw std::runtime_error("cannot decode " + path);
    GstElementHandle in(gst_bin_get_by_name(GST_BIN(pipeline.get()), "in"));
    g_object_set(in.get(), "location", path.c_str(), nullptr);
    GstElementHandle out(gst_bin_get_by_name(GST_BIN(pipeline.get()), "out"));
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    std::vector<Frame> frames;
    while (GstSampleHandle sample{gst_app_sink_try_pull_sample(GST_APP_SINK(out.get()), 10 * GST_SECOND)}) {
        guint64 streamTime = gst_segment_to_stream_time(gst_sample_get_segment(sample.get()), GST_FORMAT_TIME,
                                                        GST_BUFFER_PTS(gst_sample_get_buffer(sample.get())));
        frames.push_back({double(streamTime) / GST_SECOND, ImageFromSample(sample.get())});
    }
    return frames;
}

double MeanSquaredDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 1e9;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* rowA = a.constScanLine(y);
        const uchar* rowB = b.constScanLine(y);
        for (int x = 0; x < a.width() * 4; ++x)
            sum += (rowA[x] - rowB[x]) * (rowA[x] - rowB[x]);
    }
    return sum / (a.width() * a.height() * 4.0);
}

// How many pixels of a frame are lit (the picture's white ball).
int LitPixels(const QImage& frame)
{
    int lit = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            lit += qGray(frame.pixel(x, y)) > 128;
    return lit;
}

std::size_t OpenDescriptors()
{
    return std::size_t(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                     std::filesystem::directory_iterator()));
}

} // namespace

class VideoFileTest : public PlayerTest, public testing::WithParamInterface<std::string (*)()> {
protected:
    void SetUp() override
    {
        path = GetParam()();
        player->SetMediaFileName(path);
    }
    std::string path;
};

TEST_P(VideoFileTest, FramesReachTheSurfaceWhilePausedAndWhilePlaying)
{
    // The first frame is there as soon as the load returns.
    ASSERT_FALSE(surface.frame().isNull());
    EXPECT_TRUE(surface.text().isEmpty());
    QImage first = surface.frame();
    EXPECT_EQ(first.size(), QSize(352, 288));
    EXPECT_GT(LitPixels(first), 50);

    player->Play();
    // Frames come through the event loop: on a loaded machine the newest may
    // lag behind the position for a moment.
    ASSERT_TRUE(WaitFor([&] { return player->GetCurrentPosition() > 1.0; }));
    EXPECT_TRUE(WaitFor([&] { return MeanSquaredDifference(surface.frame(), first) > 10.0; }))
        << "the picture did not change while playing";
    EXPECT_GT(sound.PlayedCount(), 0u);
}

// A seek shows the frame showing at the target, also while paused.
TEST_P(VideoFileTest, SeekShowsTheFrameAtTheTarget)
{
    std::vector<Frame> frames = ReferenceFrames(path);
    ASSERT_GT(frames.size(), 50u);
    for (double target : {1.0, 1.53, 2.2}) {
        player->SetCurrentPosition(target);
        QImage shown = surface.frame();
        std::size_t closest = 0;
        double closestDifference = MeanSquaredDifference(shown, frames[0].image);
        for (std::size_t i = 1; i < frames.size(); ++i) {
            double difference = MeanSquaredDifference(shown, frames[i].image);
            if (difference < closestDifference) {
                closest = i;
                closestDifference = difference;
            }
        }
        EXPECT_LT(closestDifference, 1.0) << "the frame shown is none of the file's";
        double frameLength = frames[1].seconds - frames[0].seconds;
        EXPECT_LE(frames[closest].seconds, target + 0.001) << "seek to " << target;
        EXPECT_GT(frames[closest].seconds + frameLength, target) << "seek to " << target;
    }
}

// Loaded again (as Play does) after it played on, a video shows its first
// frame again, as its first load showed it.
TEST_P(VideoFileTest, ReloadShowsTheFirstFrameAgain)
{
    const QImage first = surface.frame();
    player->SetCurrentPosition(1.5);
    player->Play();
    ASSERT_TRUE(WaitFor([&] { return player->GetCurrentPosition() > 2.0; }));
    // The picture follows the clock by a frame or so on a busy machine.
    ASSERT_TRUE(WaitFor([&] { return MeanSquaredDifference(surface.frame(), first) > 10.0; }));

    player->SetMediaFileName(path);
    EXPECT_EQ(player->GetCurrentPosition(), 0.0);
    EXPECT_LT(MeanSquaredDifference(surface.frame(), first), 1.0) << "the first frame is not shown";
}

// The demuxer of program streams starts reading late for a seek; the player
// makes up for it, so that the sound starts on the target sample here too.
TEST_P(VideoFileTest, SeekStartsTheSoundOnTheTargetSample)
{
    DecodedSound reference = DecodeSound(path);
    ASSERT_EQ(reference.problem, "");
    constexpr int kRate = 44100;
    for (double target : {0.5, 1.53, 2.2}) {
        player->SetCurrentPosition(target);
        player->Play();
        ASSERT_TRUE(WaitFor([&] { return sound.PlayedCount() >= 4096; }));
        player->Pause();
        long expected = std::lround((target - reference.start) * kRate);
        std::optional<long> start = FindInReference(reference.samples, sound.Played(), expected, kRate);
        ASSERT_TRUE(start) << "the played sound is nowhere near " << target << " s";
        EXPECT_NEAR(*start, expected, kRate / 1000) << "seek to " << target << " s";
    }
}

// Destroyed while frames are on their way to it, the player lets go of all it
// held: the file, the bus, the threads' descriptors.
TEST_P(VideoFileTest, DestroyingThePlayerWhilePlayingReleasesEverything)
{
    player->Play();
    Run(200);
    player.reset();
    Run(50);
    std::size_t before = OpenDescriptors();

    auto second = MakePlayer(GstPlayerSettings{sound.Sink()});
    second->SetMediaFileName(path);
    second->Play();
    ASSERT_TRUE(WaitFor([&] { return second->GetCurrentPosition() > 0.5; }));
    EXPECT_GT(OpenDescriptors(), before);
    second.reset();
    Run(100);
    EXPECT_EQ(OpenDescriptors(), before);
}

INSTANTIATE_TEST_SUITE_P(Formats, VideoFileTest, testing::Values(&PlayerMedia::Mpg, &PlayerMedia::Dat),
                         [](const testing::TestParamInfo<std::string (*)()>& info) {
                             return std::string(info.index == 0 ? "Mpg" : "VideoCdDat");
                         });
