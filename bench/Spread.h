// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <vector>

// The smallest, the middle and the largest of a benchmark's measurements;
// -1 each when there are none.
struct Spread {
    double min = -1, median = -1, max = -1;
};

inline Spread SpreadOf(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    return {values.front(), values[values.size() / 2], values.back()};
}
