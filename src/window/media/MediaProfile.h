// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <memory>

class MediaSession;
class SoundProfile;
class SoundProfiler;

// The sound profile of the window's media: made in the background for each
// file the window loads, and stopped at once when the next file loads or the
// window ends (Close, Exit, Esc: the window stops it). Announces each change,
// for the views that draw the profile and the features that read its levels.
class MediaProfile : public QObject {
    Q_OBJECT
public:
    // Analyses each file `media` loads.
    MediaProfile(std::unique_ptr<SoundProfiler> profiler, const MediaSession& media);
    ~MediaProfile() override;

    // Grows while profileChanged announces it; its blocks can be read from
    // the start as far as BlockCount() at any time.
    const SoundProfile& Profile() const;
    // Stops the work on the current file (the window ends).
    void Stop();

signals:
    void profileChanged();

private:
    std::unique_ptr<SoundProfiler> m_profiler;
};
