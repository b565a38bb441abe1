// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

// Tests run headless: without a platform of their own they get Qt's offscreen one.
int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
