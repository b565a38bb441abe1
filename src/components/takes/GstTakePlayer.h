// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/GstHandles.h"
#include "components/takes/TakePlayer.h"

#include <memory>
#include <optional>
#include <string>

class BusWatcher;

// Decodes the take whole, finds where its playback starts (PlaybackStart) or
// takes the stretch asked for, and plays that sound through an app source to the default sound
// output.
class GstTakePlayer : public TakePlayer {
    Q_OBJECT
public:
    GstTakePlayer();
    ~GstTakePlayer() override;

    bool Play(const std::string& path) override;
    bool PlayStretch(const std::string& path, const TimeSpan& stretch) override;
    void Stop() override;
    bool IsPlaying() const override { return m_pipeline != nullptr; }
    std::string LastError() const override { return m_error; }

private:
    // Plays `stretch` of the take, or all of it from its first sound.
    bool Start(const std::string& path, const std::optional<TimeSpan>& stretch);
    void OnBusMessage(GstMessage* message);
    void Finish();

    std::string m_error;
    // Counts the plays, so that news of an ended one never ends the next.
    int m_plays = 0;
    std::unique_ptr<BusWatcher> m_bus;
    GstPipelineHandle m_pipeline;
};
