// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/DialogBuilder.h"

#include <QFont>
#include <gtest/gtest.h>

TEST(DialogUnits, ConvertWithMulDivRounding)
{
    // Base units of the classic 8 pt shell font at 96 dpi.
    BaseUnits base{6, 13};
    EXPECT_EQ(DialogUnitsToPixels(QRect(0, 0, 267, 227), base), QRect(0, 0, 401, 369));
    EXPECT_EQ(DialogUnitsToPixels(QRect(281, 46, 48, 14), base), QRect(422, 75, 72, 23));
    EXPECT_EQ(DialogUnitsToPixels(QRect(438, 195, 10, 15), base), QRect(657, 317, 15, 24));
    EXPECT_EQ(DialogUnitsToPixels(QRect(0, 0, 457, 243), base).size(), QSize(686, 395));
}

TEST(DialogUnits, BaseUnitsGrowWithTheFont)
{
    QFont small = TemplateFont(MainDialogTemplate());
    QFont large = small;
    large.setPointSize(small.pointSize() * 2);
    BaseUnits a = BaseUnitsOf(small);
    BaseUnits b = BaseUnitsOf(large);
    EXPECT_GT(a.x, 0);
    EXPECT_GT(a.y, 0);
    EXPECT_GT(b.x, a.x);
    EXPECT_GT(b.y, a.y);
}
