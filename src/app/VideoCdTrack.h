// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// A Video CD handed over as its folder (a desktop's "open the disc with"):
// the first track of its MPEGAV folder (AVSEQ01.DAT, names in any letter
// case). Any other path comes back as it is.
std::string VideoCdTrack(const std::string& path);
