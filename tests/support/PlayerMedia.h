// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Media files for the player's tests, made with GStreamer the first time a test
// asks for one and kept in the build tree, so that the next test processes
// (each test runs in its own) find them ready. A file's name changes when the
// way it is made changes.
namespace PlayerMedia {

// Length of the sound files and of the video files.
constexpr double kSoundSeconds = 6.0;
constexpr double kVideoSeconds = 3.0;

// White noise, 44.1 kHz mono: no two stretches of it sound alike, so where a
// played stretch sits in the file can be found by its content.
std::string Wav();
std::string CbrMp3();
// Variable bit rate with a Xing header, as encoders write it.
std::string VbrMp3();
// An MPEG-1 system stream in the Video CD layout (2324-byte packs): a moving
// picture over a tone.
std::string Mpg();
// The same stream as a Video CD file: RIFF/CDXA around 2352-byte sectors.
std::string Dat();
// Sounds whose pitch and clicks can be read back (see SoundMeasure.h), 44.1
// kHz mono WAV: the stepped tone (see SteppedTone.h), and six seconds of 5 ms
// bursts of noise every 250 ms.
std::string SteppedToneWav();
std::string BurstTrainWav();
// The first 40% of the CBR mp3, cut in the middle of a frame.
std::string TruncatedMp3();
std::string TextNamedMp3();
std::string ZeroByteMp3();
// Two hours of white noise at a low bit rate: long enough that a seek which
// parses the file from its start takes several times what a near one takes,
// small and quick enough to make for a test (seconds, once).
constexpr double kLongSeconds = 7200.0;
// 22.05 kHz, 8 kbit/s: frames of 576 samples, 26.12... ms, a length that
// nanoseconds do not hold exactly.
std::string LongCbrMp3();
// The same behind an ID3v2 tag of 100 kB (a book's cover picture).
std::string LongTaggedCbrMp3();
// 8 kHz, variable bit rate, behind a Xing header frame as encoders write it.
std::string LongVbrMp3();
// The same stream without the header frame: nothing gives its length.
std::string LongVbrMp3WithoutTable();
// 22.05 kHz MPEG layer II sound in an MPEG program stream.
std::string LongMpg();

// Ten hours of white noise at 44.1 kHz, for the benchmarks: 128 kbit/s
// constant, and variable (LAME's quality 4) behind a Xing header frame. Each
// takes a minute or two to make.
constexpr double kTenHourSeconds = 36000.0;
std::string TenHourCbrMp3();
std::string TenHourVbrMp3();

// White noise for an hour, stereo, 128 kbit/s: for benchmarks only (it takes
// about a minute to make).
std::string HourLongMp3();
// Media with text streams: kSubtitledSeconds of a tone with the cues below,
// in Matroska (Opus sound, two SRT streams: English, titled "English", and
// Chinese, titled "中文") and in MP4 (AAC sound, one English stream as MP4 timed
// text).
constexpr double kSubtitledSeconds = 6.0;
// The SRT texts the streams are made of.
extern const char* const kEnglishCues;
extern const char* const kChineseCues;
std::string SubtitledMkv();
std::string SubtitledMp4();
// An hour of a tone (Opus, 32 kbit/s) in Matroska with two SRT streams of a
// cue every 3 s (1,200 each): for benchmarks only (it takes about a minute
// to make).
constexpr int kHourCues = 1200;
std::string HourLongSubtitledMkv();
// A second of moving picture (motion JPEG in AVI) without any sound.
std::string VideoWithoutSound();
// The folder the media are kept in.
std::string Folder();
// A path that does not exist.
std::string Missing();

} // namespace PlayerMedia
