// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file reader on any bytes, and what it read written back.

#include "FuzzInputFile.h"
#include "support/ScratchFolder.h"
#include "window/text/NumberText.h"
#include "window/settings/SettingsText.h"
#include "window/text/TextFile.h"

#include <cstdint>

namespace {

double SavedSettings::*const kTimes[] = {&SavedSettings::startTime, &SavedSettings::endTime,
                                         &SavedSettings::timeStep, &SavedSettings::pointStep,
                                         &SavedSettings::leadIn};

// A time survives writing when its "%f" text and line end fit one piece; an
// empty media path writes a file that ends before its sixth line.
bool SurvivesWriting(const SavedSettings& settings)
{
    for (double SavedSettings::*time : kTimes)
        if (FormatFileTime(settings.*time).size() >= kSettingsPieceLength)
            return false;
    return !settings.mediaPath.empty();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzInputFile file;
    static ScratchFolder folder;
    static const std::string written = folder.PathOf("ardeno-recorder.ini");

    file.Hold(std::string_view(reinterpret_cast<const char*>(data), size));
    const SettingsReading reading = ReadSettingsFile(file.Path());
    FUZZ_CHECK(reading.readError.empty());
    if (!reading.settings)
        return 0;
    const SavedSettings& settings = *reading.settings;
    FUZZ_CHECK(settings.mediaPath.find('\n') == std::string::npos);
    if (!SurvivesWriting(settings))
        return 0;

    FUZZ_CHECK(!ReplaceTextFile(written, SettingsFileText(settings)));
    const SettingsReading again = ReadSettingsFile(written);
    FUZZ_CHECK(again.readError.empty());
    FUZZ_CHECK(again.settings.has_value());
    for (double SavedSettings::*time : kTimes)
        FUZZ_CHECK(FormatFileTime((*again.settings).*time) == FormatFileTime(settings.*time));
    FUZZ_CHECK(again.settings->mediaPath == settings.mediaPath);
    return 0;
}
