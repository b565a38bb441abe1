// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ctime>
#include <fstream>
#include <string>
#include <unistd.h>

// What this benchmark process has used so far: CPU time of all its threads,
// its resident memory now, and its peak since the peak was last reset.

inline double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

inline double ResidentMiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

inline double PeakResidentMiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

// The peak starts again from the memory resident now.
inline void ResetPeakResident()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}
