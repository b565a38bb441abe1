// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/FakePlayer.h"
#include "window/CMediaplayer1.h"

#include <QImage>
#include <gtest/gtest.h>

// The control paints a frame as large as fits, its shape kept, black around.
TEST(PlayerControlTest, PaintsTheFrameWithItsAspectRatioOnBlack)
{
    CMediaplayer1 control(std::make_unique<FakePlayer>());
    control.resize(400, 100);
    QImage frame(40, 30, QImage::Format_RGBX8888);
    frame.fill(Qt::red);
    control.showFrame(frame);

    QImage shown = control.grab().toImage();
    // 4:3 in 100 pixels of height is 133 wide, centred: 133..266.
    EXPECT_EQ(shown.pixelColor(200, 50), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(140, 5), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(120, 50), QColor(Qt::black));
    EXPECT_EQ(shown.pixelColor(280, 50), QColor(Qt::black));

    control.showText("lesson.mp3");
    EXPECT_TRUE(control.currentFrame().isNull());
    EXPECT_EQ(control.grab().toImage().pixelColor(200, 50).red(), 0);
}
