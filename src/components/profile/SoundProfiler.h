// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/profile/SoundProfile.h"

#include <QObject>
#include <string>

// Makes the sound profile of the media the window loads, in the background,
// and announces its progress. Lives on the GUI thread; no operation blocks
// for longer than reading a kept profile.
class SoundProfiler : public QObject {
    Q_OBJECT
public:
    // Starts the profile of `path` afresh; work for an earlier file stops at
    // once. A profile kept from before is complete on return.
    virtual void Analyse(const std::string& path) = 0;
    // Stops the work at once and forgets the profile.
    virtual void Cancel() = 0;
    // The profile of the last file given, as far as it has got.
    virtual const SoundProfile& Profile() const = 0;

signals:
    // The profile started, grew, completed, failed or was forgotten.
    void profileChanged();
};
