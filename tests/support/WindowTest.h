// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/WindowHarness.h"

#include <gtest/gtest.h>

// A test of the main window (see WindowHarness).
class WindowTest : public testing::Test, public WindowHarness {};
