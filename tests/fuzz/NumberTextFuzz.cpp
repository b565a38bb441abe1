// SPDX-License-Identifier: GPL-3.0-or-later
// Number text of the edit boxes and the files under a comma-decimal locale:
// reading agrees with scanf's "%lf" in the C locale, and what is shown or
// written reads back as the same number.

#include "FuzzInputFile.h"
#include "window/text/NumberText.h"

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <locale.h>
#include <string>

namespace {

// The largest double whose 15-digit text does not round up past DBL_MAX.
constexpr double kLargestShownExactly = 1.79769313486231e308;

bool Same(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}

// scanf's "%lf" in the C locale, whatever the process's locale.
std::optional<double> ScanfReading(const std::string& text)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t previous = uselocale(cLocale);
    double value = 0;
    const int converted = std::sscanf(text.c_str(), "%lf", &value);
    uselocale(previous);
    return converted == 1 ? std::optional<double>(value) : std::nullopt;
}

void CheckReading(const std::string& text)
{
    const std::optional<double> parsed = ParseLeadingNumber(text);
    if (const std::optional<double> expected = ScanfReading(text)) {
        FUZZ_CHECK(parsed.has_value());
        FUZZ_CHECK(Same(*parsed, *expected));
    }
    FUZZ_CHECK(Same(LeadingNumberOrZero(text), parsed.value_or(0.0)));
}

void CheckRoundTrips(double value)
{
    // A shown time keeps 15 digits: showing what was read shows the same text.
    // Only the few largest doubles round up past the largest one and read
    // back as infinite.
    const std::string shown = FormatShownTime(value);
    FUZZ_CHECK(shown.find(',') == std::string::npos);
    const std::optional<double> readShown = ParseLeadingNumber(shown);
    FUZZ_CHECK(readShown.has_value());
    if (std::isinf(*readShown) && std::isfinite(value))
        FUZZ_CHECK(std::abs(value) > kLargestShownExactly);
    else
        FUZZ_CHECK(FormatShownTime(*readShown) == shown);

    // A written time keeps six decimals.
    const std::string written = FormatFileTime(value);
    FUZZ_CHECK(written.find(',') == std::string::npos);
    const std::optional<double> readWritten = ParseLeadingNumber(written);
    FUZZ_CHECK(readWritten.has_value());
    FUZZ_CHECK(FormatFileTime(*readWritten) == written);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The user's locale must not change a single number.
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"})
        if (std::setlocale(LC_ALL, name) && std::strcmp(std::localeconv()->decimal_point, ",") == 0)
            return 0;
    std::fprintf(stderr, "No comma-decimal locale is installed (scripts/install-deps.sh generates de_DE.UTF-8); "
                         "fuzzing under the C locale.\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckReading(text);
    if (const std::optional<double> parsed = ParseLeadingNumber(text))
        CheckRoundTrips(*parsed);
    // Every double, also those no text in the corpus spells.
    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        CheckRoundTrips(raw);
    }
    return 0;
}
