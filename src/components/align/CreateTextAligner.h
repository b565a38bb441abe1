// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/align/TextAligner.h"

#include <memory>

// The real aligner of texts to their recordings.
std::unique_ptr<TextAligner> CreateTextAligner();
