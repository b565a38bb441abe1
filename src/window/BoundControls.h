// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window's bound boxes and its playback controls, as features change them.
class BoundControls {
public:
    // Data exchange: towards the controls (false) or from them (true). Returns
    // false when a time box does not hold a number.
    virtual bool UpdateData(bool fromControls) = 0;
    // Enables or disables the playback controls together.
    virtual void EnablePlaybackControls(bool enable) = 0;

protected:
    ~BoundControls() = default;
};
