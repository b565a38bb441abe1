// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// What went wrong in a failed player operation (the `code` of a PlayerFault).
//
//   code        name            meaning
//   e0a00001    CannotCreate    the player could not be built (a media framework
//                               element such as playbin or appsink is missing)
//   e0a00002    CannotOpen      the file exists but cannot be played: not media,
//                               unknown format, no decoder, unreadable
//   e0a00003    Timeout         the media framework did not finish the operation
//                               in time (the operation gave up instead of hanging)
//   e0a00004    Refused         the media framework refused a seek or a change
//                               between playing, paused and stopped
//   e0a00005    StreamBroken    the stream broke (a read or decode error); raised by
//                               the first operation after the error arrived
enum class PlayerFaultCode : std::uint32_t {
    CannotCreate = 0xe0a00001,
    CannotOpen = 0xe0a00002,
    Timeout = 0xe0a00003,
    Refused = 0xe0a00004,
    StreamBroken = 0xe0a00005,
};

// The operation that failed (the `address` of a PlayerFault). Each value is the
// operation's number in the high half (1 = method, 2 = read a property, 4 = set
// a property) over the operation's own id in the low half.
//
//   address     operation
//   00000000    building the player
//   00040402    SetMediaFileName
//   00020403    GetCurrentPosition
//   00040403    SetCurrentPosition
//   00040404    SetSegmentEnd
//   00040405    SetSpeed
//   000107d1    Play
//   000107d2    Pause
//   000107d3    Stop
enum class PlayerOperation : std::uintptr_t {
    Create = 0,
    SetMediaFileName = 0x40402,
    GetCurrentPosition = 0x20403,
    SetCurrentPosition = 0x40403,
    SetSegmentEnd = 0x40404,
    SetSpeed = 0x40405,
    Play = 0x107d1,
    Pause = 0x107d2,
    Stop = 0x107d3,
};

// A failed player operation. `code` says what went wrong, `address` names the
// operation that failed (the tables above), and what() carries the underlying
// reason: the file, the media framework's element and what it said.
class PlayerFault : public std::runtime_error {
public:
    PlayerFault(std::uint32_t code, std::uintptr_t address, const std::string& message)
        : std::runtime_error(message), m_code(code), m_address(address)
    {
    }

    PlayerFault(PlayerFaultCode code, PlayerOperation operation, const std::string& message)
        : PlayerFault(static_cast<std::uint32_t>(code), static_cast<std::uintptr_t>(operation), message)
    {
    }

    std::uint32_t code() const { return m_code; }
    std::uintptr_t address() const { return m_address; }

private:
    std::uint32_t m_code;
    std::uintptr_t m_address;
};
