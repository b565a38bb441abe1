// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/align/TextAligner.h"

#include <memory>

// The aligner the program uses: espeak-ng's reading of the text warped onto
// the media's decoded sound.
std::unique_ptr<TextAligner> CreateTextAligner();
