#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// A failed player operation. `code` says what went wrong (see the table in
// MediaPlayer.h), `address` names the operation that failed, and what() carries
// the underlying reason (file, element, what the media framework said).
class PlayerFault : public std::runtime_error {
public:
    PlayerFault(std::uint32_t code, std::uintptr_t address, const std::string& message)
        : std::runtime_error(message), m_code(code), m_address(address)
    {
    }

    std::uint32_t code() const { return m_code; }
    std::uintptr_t address() const { return m_address; }

private:
    std::uint32_t m_code;
    std::uintptr_t m_address;
};
