// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppIcon.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

// The window icon comes from the pictures rendered from the SVG at build time;
// these fail when they are not embedded, or were rendered wrong.

TEST(AppIcon, HoldsAPictureForEveryThemeSize)
{
    QList<QSize> sizes = AppIcon().availableSizes();
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
        EXPECT_TRUE(sizes.contains(QSize(side, side))) << "no " << side << " px picture";
}

TEST(AppIcon, ShowsARedDotOverATealWaveOnADarkTile)
{
    QImage picture = AppIcon().pixmap(QSize(64, 64)).toImage();
    ASSERT_EQ(picture.size(), QSize(64, 64));

    QColor corner = picture.pixelColor(0, 0);
    EXPECT_EQ(corner.alpha(), 0) << "the tile's rounded corner is see-through";

    QColor tile = picture.pixelColor(6, 32);
    EXPECT_EQ(tile.alpha(), 255);
    EXPECT_LT(tile.lightness(), 80);

    QColor dot = picture.pixelColor(32, 17);
    EXPECT_GT(dot.red(), 180);
    EXPECT_LT(dot.green(), 120);
    EXPECT_LT(dot.blue(), 120);

    QColor wave = picture.pixelColor(32, 44);
    EXPECT_GT(wave.green(), 150);
    EXPECT_GT(wave.blue(), 150);
    EXPECT_LT(wave.red(), 160);
}
