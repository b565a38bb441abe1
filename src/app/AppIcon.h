// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

// The program's icon for its windows: the same pictures the desktop shows in
// its menus, at every size the build renders.
QIcon AppIcon();
