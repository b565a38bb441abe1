// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/player/MediaPlayer.h"
#include "components/player/PlayerFault.h"

#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

// A player that records the operations it is given. It holds a position that
// tests set, and can be told to fail at a chosen operation.
class FakePlayer : public IMediaPlayer {
public:
    // Operation names as recorded in `calls`.
    static constexpr const char* kLoad = "SetMediaFileName";
    static constexpr const char* kGetPosition = "GetCurrentPosition";
    static constexpr const char* kSetPosition = "SetCurrentPosition";
    static constexpr const char* kSetSegmentEnd = "SetSegmentEnd";
    static constexpr const char* kSetSpeed = "SetSpeed";
    static constexpr const char* kPlay = "Play";
    static constexpr const char* kPause = "Pause";
    static constexpr const char* kStop = "Stop";

    void setSurface(PlayerSurface* surface) override { this->surface = surface; }

    void SetMediaFileName(const std::string& path) override
    {
        Record(kLoad, path);
        loadedPath = path;
        position = 0;
        playing = false;
        stopped = false;
        segmentEnd.reset();
    }
    double GetCurrentPosition() override
    {
        Record(kGetPosition, {});
        return position;
    }
    void SetCurrentPosition(double seconds) override
    {
        Record(kSetPosition, std::to_string(seconds));
        position = seconds;
    }
    // Taking the end away never fails, as the player's contract says.
    void SetSegmentEnd(std::optional<double> seconds) override
    {
        if (seconds)
            Record(kSetSegmentEnd, std::to_string(*seconds));
        else
            calls.push_back(std::string(kSetSegmentEnd) + "()");
        segmentEnd = seconds;
    }
    void SetSpeed(double speed) override
    {
        Record(kSetSpeed, std::to_string(speed));
        this->speed = speed;
    }
    void Play() override
    {
        Record(kPlay, {});
        playing = true;
        stopped = false;
    }
    void Pause() override
    {
        Record(kPause, {});
        playing = false;
        stopped = false;
    }
    void Stop() override
    {
        Record(kStop, {});
        playing = false;
        stopped = true;
    }
    // Not recorded: views read them whenever they like.
    PlaybackState PlayState() const override
    {
        if (playing)
            return PlaybackState::Playing;
        return stopped || loadedPath.empty() ? PlaybackState::Stopped : PlaybackState::Paused;
    }
    PlaybackStatus Status() const override
    {
        ++statusReads;
        return {PlayState(), position, loadedPath.empty() ? std::nullopt : length};
    }

    // The operations called, in order, without GetCurrentPosition (which the
    // timers call all the time) and SetSegmentEnd (which follows the segment
    // while it plays; see segmentEnd).
    std::vector<std::string> Commands() const
    {
        std::vector<std::string> result;
        for (const std::string& call : calls) {
            if (call.rfind(kGetPosition, 0) != 0 && call.rfind(kSetSegmentEnd, 0) != 0)
                result.push_back(call);
        }
        return result;
    }
    // The seeks it was given, in order.
    std::vector<std::string> Seeks() const
    {
        std::vector<std::string> result;
        for (const std::string& call : calls) {
            if (call.rfind(kSetPosition, 0) == 0)
                result.push_back(call);
        }
        return result;
    }

    std::vector<std::string> calls;
    std::set<std::string> failOn;
    // Fail with a standard library error instead of a player fault.
    bool failWithStandardError = false;
    std::uint32_t faultCode = 0x80004005;
    std::uintptr_t faultAddress = 0x1234;
    PlayerSurface* surface = nullptr;
    std::string loadedPath;
    double position = 0;
    bool playing = false;
    // Stop was the last of Play, Pause and Stop (a load pauses).
    bool stopped = false;
    // The length of whatever is loaded.
    std::optional<double> length;
    // How often the media framework was asked where playback is.
    mutable int statusReads = 0;
    std::optional<double> segmentEnd;
    double speed = 1;

private:
    void Record(const char* operation, const std::string& argument)
    {
        calls.push_back(argument.empty() ? std::string(operation) : std::string(operation) + "(" + argument + ")");
        if (!failOn.count(operation))
            return;
        if (failWithStandardError)
            throw std::length_error(std::string(operation) + " ran out of room");
        throw PlayerFault(faultCode, faultAddress, std::string(operation) + " failed");
    }
};
