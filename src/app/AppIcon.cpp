// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppIcon.h"

#include <QDirIterator>

QIcon AppIcon()
{
    // One PNG per size, rendered from the program's SVG icon at build time and
    // embedded under :/icons (see cmake/AppIcon.cmake).
    QIcon icon;
    QDirIterator pictures(QStringLiteral(":/icons"), {QStringLiteral("*.png")});
    while (pictures.hasNext())
        icon.addFile(pictures.next());
    return icon;
}
