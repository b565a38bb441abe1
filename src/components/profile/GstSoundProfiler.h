// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/profile/ProfileCache.h"
#include "components/profile/SoundProfiler.h"

#include <memory>
#include <optional>
#include <string>

class DecodingPass;
class ProfileBuilder;

// The sound profiler over GStreamer: a profile kept in the cache is read
// back; any other is measured by a DecodingPass of its own into a
// ProfileBuilder, whose blocks go to a file of the cache as they come and are
// kept there once the sound has been decoded to its end.
class GstSoundProfiler : public SoundProfiler {
public:
    explicit GstSoundProfiler(ProfileCache cache);
    ~GstSoundProfiler() override;

    void Analyse(const std::string& path) override;
    void Cancel() override;
    const SoundProfile& Profile() const override { return m_profile; }

private:
    // Stops the pass, then drops the builder and the file.
    void Stop();
    // Takes what the builder has made since; a write that failed ends the
    // profile.
    void TakeNews();
    void OnEnd(const std::string& problem);

    ProfileCache m_cache;
    SoundProfile m_profile;
    std::optional<FileIdentity> m_source;
    std::shared_ptr<BlockFile> m_file;
    std::unique_ptr<ProfileBuilder> m_builder;
    // Declared after the builder: the pass that feeds it stops first.
    std::unique_ptr<DecodingPass> m_pass;
};
