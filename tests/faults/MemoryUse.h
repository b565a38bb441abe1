// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fstream>
#include <string>

// How much more memory the process held at its peak, between the object's
// construction and PeakGrowthMiB(), than when the object was made. Resets
// the kernel's peak mark (Linux 4.0 and later), so earlier tests do not count.
class PeakMemoryGrowth {
public:
    PeakMemoryGrowth()
    {
        std::ofstream("/proc/self/clear_refs") << "5";
        m_startKiB = StatusKiB("VmRSS:");
    }

    double PeakGrowthMiB() const { return (StatusKiB("VmHWM:") - m_startKiB) / 1024.0; }

private:
    static long StatusKiB(const std::string& field)
    {
        std::ifstream status("/proc/self/status");
        std::string name;
        while (status >> name) {
            long kib = 0;
            if (name == field && status >> kib)
                return kib;
            status.ignore(4096, '\n');
        }
        return 0;
    }

    long m_startKiB = 0;
};
