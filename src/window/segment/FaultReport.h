// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// Fault code of an access violation: the report then names the kind of access
// and the data address.
constexpr std::uint32_t kAccessViolation = 0xC0000005;

// The details of a caught fault as the "Exception" box shows them:
// "Code = c0000005, Address = 00000000004012AB", and for an access violation,
// directly after, "Attempt to read data at address ..." ("write" when
// `accessKind` is non-zero, `dataAddress` the address touched). Addresses are
// zero-padded upper-case hexadecimal of the pointer's width. The text is never
// cut: with 64-bit addresses a cut would drop the data address.
std::string FormatFaultReport(std::uint32_t code, std::uintptr_t address, std::uintptr_t accessKind = 0,
                              std::uintptr_t dataAddress = 0);
