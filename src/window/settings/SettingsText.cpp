// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/settings/SettingsText.h"

#include "window/text/NumberText.h"
#include "window/text/TextFile.h"

namespace {

// The five times in file order.
double SavedSettings::*const kTimeLines[] = {&SavedSettings::startTime, &SavedSettings::endTime,
                                             &SavedSettings::timeStep, &SavedSettings::pointStep,
                                             &SavedSettings::leadIn};

} // namespace

SettingsReading ReadSettingsFile(const std::string& path)
{
    SettingsReading reading;
    TextFileReader reader(path);
    if (!reader.IsOpen())
        return reading;
    SavedSettings settings;
    for (double SavedSettings::*value : kTimeLines) {
        std::optional<std::string> piece = reader.ReadPiece(kSettingsPieceLength);
        if (!piece) {
            reading.readError = reader.Error();
            return reading;
        }
        settings.*value = LeadingNumberOrZero(*piece);
    }
    // The path is the whole line, without the line end a hand-edited file
    // may put after it: no media file name ends in one.
    std::optional<std::string> mediaPath = reader.ReadLine();
    if (!mediaPath) {
        reading.readError = reader.Error();
        return reading;
    }
    settings.mediaPath = std::move(*mediaPath);
    reading.settings = std::move(settings);
    return reading;
}

std::string SettingsFileText(const SavedSettings& settings)
{
    std::string text;
    for (double SavedSettings::*value : kTimeLines)
        text.append(FormatFileTime(settings.*value)).append("\n");
    return text.append(settings.mediaPath);
}
