// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ctime>
#include <fstream>
#include <unistd.h>

// What this benchmark process has used so far: CPU time of all its threads,
// and its resident memory now.

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
