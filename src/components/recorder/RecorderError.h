// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>

// Why a recording could not start, in words the user can act on.
class RecorderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
