// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/PlayerMedia.h"

#include "support/FileBytes.h"
#include "support/SoundMeasure.h"
#include "support/SteppedTone.h"
#include "support/WavFile.h"
#include "support/XingHeader.h"

#include "components/BusError.h"
#include "components/GstHandles.h"
#include "components/MediaFramework.h"

#include <QProcess>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path MediaDir()
{
    fs::path dir(PLAYER_MEDIA_DIR);
    fs::create_directories(dir);
    return dir;
}

// Makes `name` once: `write` fills a private temporary file, which is then
// renamed into place, so that a test process running at the same time never
// sees a half-written file.
template <typename Writer>
std::string Made(const std::string& name, Writer write)
{
    fs::path target = MediaDir() / name;
    if (fs::exists(target))
        return target.string();
    fs::path scratch = target;
    scratch += ".part" + std::to_string(::getpid());
    write(scratch.string());
    fs::rename(scratch, target);
    return target.string();
}

// Runs a gst-launch style pipeline that writes to `location` until its end.
// False when it has not ended by the deadline.
bool RunPipelineOnce(const std::string& text, const std::string& location, std::chrono::seconds limit)
{
    GError* rawError = nullptr;
    GstPipelineHandle pipeline = AdoptPipeline(gst_parse_launch(text.c_str(), &rawError));
    GErrorHandle error(rawError);
    if (!pipeline || error)
        throw std::runtime_error("cannot build " + text + ": " + (error ? error->message : "?"));
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    GstBusHandle bus(gst_element_get_bus(pipeline.get()));
    // A signal can end a wait on the bus early: wait again until the deadline.
    auto deadline = std::chrono::steady_clock::now() + limit;
    GstMessageHandle message;
    while (!message && std::chrono::steady_clock::now() < deadline)
        message.reset(gst_bus_timed_pop_filtered(bus.get(), GST_SECOND,
                                                 GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    if (!message)
        return false;
    if (GST_MESSAGE_TYPE(message.get()) != GST_MESSAGE_EOS)
        throw std::runtime_error("making " + location + " failed: " + BusError::FromMessage(message.get()).Describe() +
                                 " in " + text);
    return true;
}

std::string WithLocation(const std::string& description, const std::string& location)
{
    std::string text = description;
    for (std::string::size_type at; (at = text.find("@OUT@")) != std::string::npos;)
        text.replace(at, 5, "\"" + location + "\"");
    return text;
}

void RunPipeline(const std::string& description, const std::string& location,
                 std::chrono::seconds limit = std::chrono::seconds(40))
{
    InitialiseMediaFramework();
    std::string text = WithLocation(description, location);
    if (!RunPipelineOnce(text, location, limit))
        throw std::runtime_error("making " + location + " took too long: " + text);
}

// The MPEG-1 multiplexer now and then misreads its audio input; it then either
// stalls for good or ends the whole process. So it runs in a process of its
// own, which is made again from scratch until one run gets through.
void RunMultiplexerPipeline(const std::string& description, const std::string& location)
{
    constexpr int kAttempts = 4;
    constexpr int kLimitMs = 40000;
    std::string failures;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        QProcess launch;
        launch.setProcessChannelMode(QProcess::MergedChannels);
        // One argument a word: the launcher escapes what is inside an argument.
        QStringList arguments{"-q"};
        for (const QString& word : QString::fromStdString(description).split(' ', Qt::SkipEmptyParts))
            arguments << QString(word).replace("@OUT@", QString::fromStdString(location));
        launch.start("gst-launch-1.0", arguments);
        bool ended = launch.waitForFinished(kLimitMs);
        if (!ended) {
            launch.kill();
            launch.waitForFinished();
        }
        if (ended && launch.exitStatus() == QProcess::NormalExit && launch.exitCode() == 0)
            return;
        failures += "\n  attempt " + std::to_string(attempt + 1) + ": " +
                    (ended ? "ended with " + std::to_string(launch.exitCode()) + ": " +
                                 launch.readAll().trimmed().toStdString()
                           : "no end within " + std::to_string(kLimitMs / 1000) + " s (" +
                                 launch.errorString().toStdString() + ")");
    }
    throw std::runtime_error("making " + location + " failed " + std::to_string(kAttempts) + " times:" + failures);
}

const std::string kNoise = "audiotestsrc wave=white-noise volume=0.5 samplesperbuffer=4410 num-buffers=60 "
                           "! audio/x-raw,rate=44100,channels=1 ! audioconvert ";

// Encodes `seconds` of white noise, mono at `rate` samples a second, with
// `encoder` (a pipeline description) into `out`. Encoding is done at LAME's
// fast setting: the content only has to be told apart, and long files take
// minutes to encode (about a minute per five hours of sound here).
void EncodeNoise(double seconds, int rate, const std::string& encoder, const std::string& out)
{
    RunPipeline("audiotestsrc wave=white-noise volume=0.5 samplesperbuffer=" + std::to_string(rate) +
                    " num-buffers=" + std::to_string(std::lround(seconds)) + " ! audio/x-raw,rate=" +
                    std::to_string(rate) + ",channels=1 ! audioconvert ! " + encoder + " ! filesink location=@OUT@",
                out, std::chrono::seconds(120 + std::lround(seconds / 20)));
}

void PutLe32(std::string& bytes, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(char((value >> shift) & 0xff));
}

std::uint8_t Bcd(int value)
{
    return std::uint8_t((value / 10) << 4 | (value % 10));
}

// A Video CD track file: each 2324-byte pack of the stream goes into a mode 2
// form 2 sector (sync, address, subheader, data, EDC) behind a RIFF/CDXA header.
std::string CdxaFromPacks(const std::string& stream)
{
    constexpr std::size_t kPack = 2324;
    constexpr std::size_t kSector = 2352;
    if (stream.size() % kPack != 0)
        throw std::runtime_error("the stream is not in 2324-byte packs");
    std::size_t sectors = stream.size() / kPack;

    std::string file = "RIFF";
    PutLe32(file, std::uint32_t(4 + 8 + 16 + 8 + sectors * kSector));
    file += "CDXAfmt ";
    PutLe32(file, 16);
    // Owner ids, attributes, "XA" signature, file number, reserved.
    const char format[16] = {0, 0, 0, 0, 0x15, 0x55, 'X', 'A', 1, 0, 0, 0, 0, 0, 0, 0};
    file.append(format, 16);
    file += "data";
    PutLe32(file, std::uint32_t(sectors * kSector));

    for (std::size_t sector = 0; sector < sectors; ++sector) {
        // Tracks start two seconds into the disc (75 sectors a second).
        std::size_t address = sector + 150;
        const char head[24] = {0, char(0xff), char(0xff), char(0xff), char(0xff), char(0xff), char(0xff),
                               char(0xff), char(0xff), char(0xff), char(0xff), 0,
                               char(Bcd(int(address / 4500))), char(Bcd(int(address / 75 % 60))),
                               char(Bcd(int(address % 75))), 2,
                               1, 1, 0x62, 0x0f, 1, 1, 0x62, 0x0f};
        file.append(head, 24);
        file.append(stream, sector * kPack, kPack);
        file.append(4, '\0');
    }
    return file;
}

} // namespace

namespace PlayerMedia {

std::string Wav()
{
    return Made("noise.wav", [](const std::string& out) { RunPipeline(kNoise + "! wavenc ! filesink location=@OUT@", out); });
}

std::string CbrMp3()
{
    return Made("noise-cbr.mp3", [](const std::string& out) {
        RunPipeline(kNoise + "! lamemp3enc target=bitrate cbr=true bitrate=128 ! filesink location=@OUT@", out);
    });
}

std::string VbrMp3()
{
    return Made("noise-vbr.mp3", [](const std::string& out) {
        RunPipeline(kNoise + "! lamemp3enc target=quality quality=4 ! xingmux ! filesink location=@OUT@", out);
    });
}

std::string Mpg()
{
    return Made("ball.mpg", [](const std::string& out) {
        // Video CD sizes and rates in 2324-byte packs (the payload of a Video CD
        // sector); the generic profiles keep the timestamps regular.
        RunMultiplexerPipeline("mplex name=mux format=mpeg-1 sector-size=2324 ! filesink location=@OUT@ "
                               "videotestsrc pattern=ball num-buffers=75 "
                               "! video/x-raw,width=352,height=288,framerate=25/1 "
                               "! videoconvert ! mpeg2enc format=0 bitrate=1150 motion-search-radius=8 ! queue ! mux. "
                               "audiotestsrc wave=white-noise volume=0.5 samplesperbuffer=1764 num-buffers=75 "
                               "! audio/x-raw,rate=44100,channels=1 "
                               "! audioconvert ! avenc_mp2 bitrate=224000 ! queue ! mux.",
                               out);
    });
}

std::string Dat()
{
    return Made("AVSEQ01.DAT", [](const std::string& out) { WriteFileBytes(out, CdxaFromPacks(ReadFileBytes(Mpg()))); });
}

std::string SteppedToneWav()
{
    return Made("stepped-tone.wav", [](const std::string& out) { SteppedTone::WriteWav(out); });
}

std::string BurstTrainWav()
{
    return Made("burst-train.wav", [](const std::string& out) {
        WriteFileBytes(out, WavBytes(BurstTrain(kSoundSeconds, SteppedTone::kRate), SteppedTone::kRate));
    });
}

std::string TruncatedMp3()
{
    return Made("truncated.mp3", [](const std::string& out) {
        std::string bytes = ReadFileBytes(CbrMp3());
        bytes.resize(bytes.size() * 2 / 5 + 7);
        WriteFileBytes(out, bytes);
    });
}

std::string TextNamedMp3()
{
    return Made("notes.mp3", [](const std::string& out) {
        std::string text = "These are notes for the lesson, not sound.\nLine two.\n";
        WriteFileBytes(out, text);
    });
}

std::string ZeroByteMp3()
{
    return Made("empty.mp3", [](const std::string& out) { WriteFileBytes(out, {}); });
}

std::string HourLongMp3()
{
    return Made("hour-noise.mp3", [](const std::string& out) {
        RunPipeline("audiotestsrc wave=white-noise volume=0.5 samplesperbuffer=4410 num-buffers=36000 "
                    "! audio/x-raw,rate=44100,channels=2 ! audioconvert "
                    "! lamemp3enc target=bitrate cbr=true bitrate=128 ! filesink location=@OUT@",
                    out, std::chrono::minutes(15));
    });
}

const char* const kEnglishCues = "1\n00:00:00,500 --> 00:00:01,500\n<i>Hello</i> there\n\n"
                                 "2\n00:00:02,000 --> 00:00:03,250\nFish & chips\nfor two\n\n"
                                 "3\n00:00:04,000 --> 00:00:05,500\nGoodbye\n";
const char* const kChineseCues = "1\n00:00:01,000 --> 00:00:02,000\n你好\n\n"
                                 "2\n00:00:04,250 --> 00:00:05,000\n再见\n";

namespace {

// Writes `cues` beside `out` for the pipeline to read; returns the path.
std::string CueFile(const std::string& out, const std::string& name, const char* cues)
{
    std::string path = out + "." + name + ".srt";
    WriteFileBytes(path, cues);
    return path;
}

// A stream of `cues` parsed from SRT, tagged with its language (and title),
// for a multiplexer's pad.
std::string CueBranch(const std::string& file, const std::string& tags)
{
    return "filesrc location=\"" + file + "\" ! subparse ! taginject tags=\"" + tags + "\" ! mux. ";
}

const std::string kSubtitledTone = "audiotestsrc samplesperbuffer=4800 num-buffers=" +
                                   std::to_string(std::lround(kSubtitledSeconds * 10)) +
                                   " ! audio/x-raw,rate=48000,channels=1 ! audioconvert ! ";

} // namespace

std::string SubtitledMkv()
{
    return Made("subtitled-v3.mkv", [](const std::string& out) {
        const std::string english = CueFile(out, "en", kEnglishCues);
        const std::string chinese = CueFile(out, "zh", kChineseCues);
        RunPipeline("matroskamux name=mux ! filesink location=@OUT@ " + kSubtitledTone + "opusenc ! mux. " +
                        CueBranch(english, "language-code=en,title=English") +
                        CueBranch(chinese, "language-code=zh,title=\\\"中文\\\""),
                    out);
        fs::remove(english);
        fs::remove(chinese);
    });
}

std::string SubtitledMp4()
{
    return Made("subtitled-v1.mp4", [](const std::string& out) {
        const std::string english = CueFile(out, "en", kEnglishCues);
        RunPipeline("mp4mux name=mux ! filesink location=@OUT@ " + kSubtitledTone + "avenc_aac ! mux. " +
                        CueBranch(english, "language-code=en"),
                    out);
        fs::remove(english);
    });
}

std::string HourLongSubtitledMkv()
{
    return Made("hour-subtitled.mkv", [](const std::string& out) {
        std::string english;
        std::string chinese;
        for (int cue = 0; cue < kHourCues; ++cue) {
            const int start = cue * 3;
            char times[64];
            std::snprintf(times, sizeof times, "00:%02d:%02d,000 --> 00:%02d:%02d,900\n", start / 60, start % 60,
                          start / 60, start % 60);
            const std::string number = std::to_string(cue + 1) + "\n";
            english += number + times + "<i>Line " + std::to_string(cue + 1) + "</i> of the hour\n\n";
            chinese += number + times + "第" + std::to_string(cue + 1) + "行\n\n";
        }
        const std::string englishFile = CueFile(out, "en", english.c_str());
        const std::string chineseFile = CueFile(out, "zh", chinese.c_str());
        RunPipeline("matroskamux name=mux ! filesink location=@OUT@ audiotestsrc samplesperbuffer=4800 num-buffers=" +
                        std::to_string(36000) + " ! audio/x-raw,rate=48000,channels=1 ! audioconvert ! "
                        "opusenc bitrate=32000 ! mux. " +
                        CueBranch(englishFile, "language-code=en") + CueBranch(chineseFile, "language-code=zh"),
                    out, std::chrono::minutes(15));
        fs::remove(englishFile);
        fs::remove(chineseFile);
    });
}

std::string VideoWithoutSound()
{
    return Made("no-sound.avi", [](const std::string& out) {
        RunPipeline("videotestsrc num-buffers=25 ! video/x-raw,width=160,height=120,framerate=25/1 ! jpegenc "
                    "! avimux ! filesink location=@OUT@",
                    out);
    });
}

std::string LongCbrMp3()
{
    // LAME would resample to 8 kHz for 8 kbit/s; the caps keep 22.05 kHz.
    return Made("noise-2h-cbr-22k.mp3", [](const std::string& out) {
        EncodeNoise(kLongSeconds, 22050,
                    "lamemp3enc target=bitrate cbr=true bitrate=8 encoding-engine-quality=fast ! audio/mpeg,rate=22050",
                    out);
    });
}

std::string LongTaggedCbrMp3()
{
    return Made("noise-2h-cbr-22k-tagged.mp3", [](const std::string& out) {
        // Version 2.4, no flags, a synchsafe size; a body of padding.
        constexpr std::uint32_t kBody = 100000;
        std::string tag = "ID3";
        tag += {'\x04', '\x00', '\x00'};
        for (int shift = 21; shift >= 0; shift -= 7)
            tag += char((kBody >> shift) & 0x7f);
        tag.append(kBody, '\0');
        WriteFileBytes(out, tag + ReadFileBytes(LongCbrMp3()));
    });
}

std::string LongVbrMp3WithoutTable()
{
    return Made("noise-2h-vbr-no-table.mp3", [](const std::string& out) {
        EncodeNoise(kLongSeconds, 8000, "lamemp3enc target=quality quality=9 encoding-engine-quality=fast", out);
    });
}

std::string LongVbrMp3()
{
    return Made("noise-2h-vbr.mp3", [](const std::string& out) { WriteWithXingHeader(LongVbrMp3WithoutTable(), out); });
}

std::string LongMpg()
{
    return Made("noise-2h.mpg",
                [](const std::string& out) { EncodeNoise(kLongSeconds, 22050, "avenc_mp2 bitrate=32000 ! mpegpsmux", out); });
}

std::string TenHourCbrMp3()
{
    return Made("noise-10h-cbr.mp3", [](const std::string& out) {
        EncodeNoise(kTenHourSeconds, 44100, "lamemp3enc target=bitrate cbr=true bitrate=128 encoding-engine-quality=fast",
                    out);
    });
}

std::string TenHourVbrMp3()
{
    return Made("noise-10h-vbr.mp3", [](const std::string& out) {
        const std::string stream = out + ".stream";
        EncodeNoise(kTenHourSeconds, 44100, "lamemp3enc target=quality quality=4 encoding-engine-quality=fast", stream);
        WriteWithXingHeader(stream, out);
        fs::remove(stream);
    });
}

std::string Folder()
{
    return MediaDir().string();
}

std::string Missing()
{
    return (MediaDir() / "no such folder" / "gone.mp3").string();
}

} // namespace PlayerMedia
