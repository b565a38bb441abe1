// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/segment/FaultReport.h"

#include <cinttypes>
#include <cstdio>

namespace {

// An address as "%p" prints it on Windows: upper-case, as many digits as a
// pointer holds.
std::string PointerText(std::uintptr_t address)
{
    char text[2 * sizeof(std::uintptr_t) + 1];
    std::snprintf(text, sizeof text, "%0*" PRIXPTR, static_cast<int>(2 * sizeof(std::uintptr_t)), address);
    return text;
}

} // namespace

std::string FormatFaultReport(std::uint32_t code, std::uintptr_t address, std::uintptr_t accessKind,
                              std::uintptr_t dataAddress)
{
    char codeText[9];
    std::snprintf(codeText, sizeof codeText, "%" PRIx32, code);
    std::string text = std::string("Code = ") + codeText + ", Address = " + PointerText(address);
    if (code == kAccessViolation) {
        text += std::string("Attempt to ") + (accessKind != 0 ? "write" : "read") + " data at address "
                + PointerText(dataAddress);
    }
    return text;
}
