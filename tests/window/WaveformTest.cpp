// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileBytes.h"
#include "support/WindowTest.h"
#include "window/media/MediaProfile.h"
#include "window/preferences/Preferences.h"
#include "window/text/NumberText.h"
#include "window/waveform/WaveformView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <cmath>
#include <limits>

// The waveform in the player area, driven with the mouse as a user does, with
// a fake player and profile: what it shows, how it follows playback, and how
// marking on it changes the segment exactly as typing the times would.

namespace {

class WaveformTest : public WindowTest {
protected:
    void SetUp() override
    {
        Start();
        player->length = 60;
        OpenMedia("lesson.mp3");
        dlg->Player().Pause();
    }

    WaveformView& View() const { return dlg->Waveform(); }
    // Where `seconds` is on the sound.
    QPoint At(double seconds) const
    {
        return QPoint(int(std::lround(View().Axis().XOf(seconds))), View().SoundArea().center().y());
    }
    // The time marked at a point: whole milliseconds.
    double MarkedAt(QPoint point) const { return std::round(View().Axis().SecondsAt(point.x()) * 1000) / 1000; }

    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(&View(), Qt::LeftButton, {}, from);
        QTest::mouseMove(&View(), (from + to) / 2);
        QTest::mouseMove(&View(), to);
        QTest::mouseRelease(&View(), Qt::LeftButton, {}, to);
    }
    void DoubleClick(QPoint at)
    {
        QTest::mousePress(&View(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(&View(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(&View(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(&View(), Qt::LeftButton, {}, at);
    }
    void Wheel(QPoint at, int notches, Qt::KeyboardModifiers modifiers = {})
    {
        QWheelEvent wheel(at, View().mapToGlobal(at), {}, QPoint(0, notches * 120), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&View(), &wheel);
    }
    // The colour drawn at a point of the view.
    QColor ColourAt(QPoint point) const { return View().grab().toImage().pixelColor(point); }

    std::pair<double, double> Segment() const { return {dlg->Segment().Start(), dlg->Segment().End()}; }
};

TEST_F(WindowTest, TheViewCoversThePlayerAreaForSoundAndLeavesAVideoItsPicture)
{
    Start();
    EXPECT_FALSE(dlg->Waveform().isVisible());
    player->length = 60;
    const std::string path = OpenMedia("lesson.mp3");
    EXPECT_TRUE(dlg->Waveform().isVisible());
    EXPECT_EQ(dlg->Waveform().geometry(), dlg->Player().rect());
    EXPECT_EQ(profiler->analysed, std::vector<std::string>{path});
    // Open plays, and the view follows where the player says it is.
    player->position = 30;
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg->Waveform().Axis().From() > 0; }, 3000));
    EXPECT_LE(dlg->Waveform().Axis().From(), 30);
    EXPECT_GT(dlg->Waveform().Axis().To(), 30);

    QImage frame(4, 3, QImage::Format_RGBX8888);
    frame.fill(Qt::red);
    dlg->Player().showFrame(frame);
    const std::string video = OpenMedia("film.mpg");
    EXPECT_FALSE(dlg->Waveform().isVisible());
    // Its sound is profiled all the same.
    EXPECT_EQ(profiler->analysed, (std::vector<std::string>{path, video}));
}

TEST_F(WindowTest, ExitAndCloseStopTheProfile)
{
    Start();
    OpenMedia("lesson.mp3");
    QTimer::singleShot(0, [&] { Click(ControlId::Exit); });
    dlg->exec();
    EXPECT_EQ(profiler->cancels, 1);

    Start();
    OpenMedia("lesson.mp3");
    QTimer::singleShot(0, [&] { dlg->close(); });
    dlg->exec();
    EXPECT_EQ(profiler->cancels, 1);
}

TEST_F(WaveformTest, ShowsTwentySecondsOfTheProfileAsItGrowsAndSaysWhyThereIsNone)
{
    EXPECT_DOUBLE_EQ(View().Axis().From(), 0);
    EXPECT_DOUBLE_EQ(View().Axis().Span(), 20);
    const QColor ground = ColourAt(At(5) - QPoint(0, View().SoundArea().height() / 4));

    // Loud for 10 s.
    profiler->Grow(std::vector<LevelBlock>(10 * kBlocksPerSecond, LevelBlock{-30000, 30000, 20000}));
    const QPoint high(0, -View().SoundArea().height() / 4);
    EXPECT_NE(ColourAt(At(5) + high), ground);
    EXPECT_EQ(ColourAt(At(15) + high), ground);
    EXPECT_EQ(View().StatusLine().toStdString(), "Analysing the sound… 16%");

    profiler->Fail("decodebin: the stream broke off");
    EXPECT_EQ(View().StatusLine().toStdString(), "No waveform: decodebin: the stream broke off");
    // What was measured stays drawn.
    EXPECT_NE(ColourAt(At(5) + high), ground);
}

TEST_F(WaveformTest, AClickSeeksAndPlaybackGoesOnOrStaysPaused)
{
    const QPoint at = At(13.3);
    const double target = View().Axis().SecondsAt(at.x());
    QTest::mouseClick(&View(), Qt::LeftButton, {}, at);
    EXPECT_EQ(player->position, target);
    EXPECT_FALSE(player->playing);
    EXPECT_EQ(Segment(), (std::pair<double, double>{0, 0}));

    dlg->Player().Play();
    // A wobble smaller than a drag is still a click, where it was let go.
    const QPoint wobbled = At(7) + QPoint(2, 1);
    const double wobbledTarget = View().Axis().SecondsAt(wobbled.x());
    QTest::mousePress(&View(), Qt::LeftButton, {}, At(7));
    QTest::mouseMove(&View(), wobbled);
    QTest::mouseRelease(&View(), Qt::LeftButton, {}, wobbled);
    EXPECT_EQ(player->position, wobbledTarget);
    EXPECT_TRUE(player->playing);
    EXPECT_EQ(Segment(), (std::pair<double, double>{0, 0}));
}

TEST_F(WaveformTest, ADragMarksTheSegmentExactlyAsTypingItsTimesWould)
{
    dlg->Segment().SetSegment(1, 50);
    Click(ControlId::Repeat);

    // From right to left: the earlier time is the start.
    const QPoint from(300, At(0).y());
    const QPoint to(100, At(0).y());
    QSignalSpy changes(&dlg->Segment(), &SegmentRepeat::segmentChanged);
    Drag(from, to);
    const double start = MarkedAt(to);
    const double end = MarkedAt(from);
    ASSERT_LT(start, end);
    EXPECT_EQ(Segment(), std::pair(start, end));
    EXPECT_EQ(changes.size(), 1);
    const std::string shownStart = Text(ControlId::StartTime);
    const std::string shownEnd = Text(ControlId::EndTime);
    EXPECT_EQ(shownStart, FormatShownTime(start));
    EXPECT_EQ(shownEnd, FormatShownTime(end));
    // The repeat that runs ends at the new end.
    EXPECT_EQ(player->segmentEnd, end);

    // The same times typed into the boxes.
    dlg->Segment().SetSegment(1, 50);
    Edit(ControlId::StartTime)->setText(QString::fromStdString(shownStart));
    LoseFocus(ControlId::StartTime);
    Edit(ControlId::EndTime)->setText(QString::fromStdString(shownEnd));
    LoseFocus(ControlId::EndTime);
    EXPECT_EQ(Segment(), std::pair(start, end));
    EXPECT_EQ(player->segmentEnd, end);

    // Repeat plays what was marked.
    player->calls.clear();
    Click(ControlId::Repeat);
    EXPECT_EQ(player->Commands(), (std::vector<std::string>{"SetCurrentPosition(" + std::to_string(start) + ")", "Play"}));
    EXPECT_EQ(player->segmentEnd, end);
}

TEST_F(WaveformTest, DraggingAnEdgeMovesThatEdgeAlone)
{
    dlg->Segment().SetSegment(5, 10);
    Drag(At(10), At(12.5));
    EXPECT_EQ(Segment(), std::pair(5.0, MarkedAt(At(12.5))));
    const double end = dlg->Segment().End();

    // A press a few pixels off the edge still takes it.
    Drag(At(5) + QPoint(3, 0), At(3));
    EXPECT_EQ(Segment(), std::pair(MarkedAt(At(3)), end));

    // Past the other edge, the edges change roles.
    Drag(At(3), At(14));
    EXPECT_EQ(Segment(), std::pair(end, MarkedAt(At(14))));

    // Farther from an edge, a drag marks a new segment.
    Drag(At(14) + QPoint(12, 0), At(16));
    EXPECT_EQ(Segment(), std::pair(MarkedAt(At(14) + QPoint(12, 0)), MarkedAt(At(16))));
}

TEST_F(WaveformTest, ADoubleClickInsideTheSegmentRepeatsIt)
{
    dlg->Segment().SetSegment(5, 10);
    player->calls.clear();
    DoubleClick(At(7));
    EXPECT_TRUE(dlg->IsTimerRunning(RepeatTimer));
    ASSERT_GE(player->Commands().size(), 2u);
    EXPECT_EQ(player->Commands().back(), "Play");
    EXPECT_EQ(player->position, 5);
    EXPECT_EQ(player->segmentEnd, 10);
    EXPECT_EQ(Segment(), std::pair(5.0, 10.0));

    // Outside it, each click only seeks.
    dlg->Segment().EndRepeat();
    dlg->Player().Pause();
    player->calls.clear();
    DoubleClick(At(12));
    EXPECT_FALSE(dlg->IsTimerRunning(RepeatTimer));
    EXPECT_EQ(player->position, View().Axis().SecondsAt(At(12).x()));
    EXPECT_FALSE(player->playing);
}

TEST_F(WaveformTest, TheRightButtonOpensTheWindowsContextMenu)
{
    QWidget* shown = nullptr;
    QTimer::singleShot(0, [&] {
        shown = QApplication::activePopupWidget();
        if (shown)
            shown->close();
    });
    QContextMenuEvent menu(QContextMenuEvent::Mouse, At(5), View().mapToGlobal(At(5)));
    QApplication::sendEvent(&View(), &menu);
    EXPECT_EQ(shown, dlg->SystemMenu());
    EXPECT_EQ(Segment(), (std::pair<double, double>{0, 0}));
}

TEST_F(WaveformTest, TheWheelScrollsAndCtrlWheelZoomsAsTheNextMediaRemembers)
{
    Wheel(At(5), -1);
    EXPECT_DOUBLE_EQ(View().Axis().From(), 2);
    EXPECT_DOUBLE_EQ(View().Axis().Span(), 20);

    const QPoint at = At(12);
    const double moment = View().Axis().SecondsAt(at.x());
    Wheel(at, 1, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(View().Axis().Span(), 16);
    EXPECT_NEAR(View().Axis().SecondsAt(at.x()), moment, 1e-9);
    for (int i = 0; i < 30; ++i)
        Wheel(at, 1, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(View().Axis().Span(), 1);
    for (int i = 0; i < 30; ++i)
        Wheel(at, -1, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(View().Axis().Span(), 60);
    Wheel(at, 4, Qt::ControlModifier);
    const double chosen = View().Axis().Span();
    EXPECT_NEAR(chosen, 60 / std::pow(1.25, 4), 1e-9);

    player->length = 300;
    OpenMedia("next.mp3");
    EXPECT_DOUBLE_EQ(View().Axis().From(), 0);
    EXPECT_DOUBLE_EQ(View().Axis().Span(), chosen);

    // And the next run.
    Start();
    EXPECT_DOUBLE_EQ(Preferences(environment.preferencesPath).Value("Waveform/SpanSeconds", 0.0).toDouble(), chosen);
    player->length = 300;
    OpenMedia("lesson.mp3");
    EXPECT_DOUBLE_EQ(View().Axis().Span(), chosen);
}

TEST_F(WindowTest, AZoomThatCannotBeUsedGivesTheUsualTwentySeconds)
{
    for (const char* stored : {"nan", "-3", "inf", "wide"}) {
        WriteFileBytes(environment.preferencesPath, std::string("[Waveform]\nSpanSeconds=") + stored + "\n");
        Start();
        player->length = 60;
        OpenMedia("lesson.mp3");
        EXPECT_DOUBLE_EQ(dlg->Waveform().Axis().Span(), 20) << stored;
    }
}

TEST_F(WaveformTest, WhilePlayingItFollowsTheCursorUntilTheUserScrollsAndAgainAfterRepeat)
{
    dlg->Player().Play();
    player->position = 25;
    ASSERT_TRUE(QTest::qWaitFor([&] { return View().Axis().From() > 0; }, 3000));
    EXPECT_LE(View().Axis().From(), 25);
    EXPECT_GT(View().Axis().To(), 25);

    Wheel(At(30), -2);
    const double scrolledTo = View().Axis().From();
    player->position = 50;
    QTest::qWait(1500);
    EXPECT_DOUBLE_EQ(View().Axis().From(), scrolledTo);

    dlg->Segment().SetSegment(55, 58);
    Click(ControlId::Repeat);
    EXPECT_LE(View().Axis().From(), 55);
    EXPECT_GT(View().Axis().To(), 55);

    // A click on the overview moves the stretch there, and following stops.
    const QRect overview = View().OverviewArea();
    const int middle = overview.width() / 2;
    const double centre = 60.0 * middle / overview.width();
    QTest::mouseClick(&View(), Qt::LeftButton, {}, QPoint(middle, overview.center().y()));
    EXPECT_DOUBLE_EQ(View().Axis().From(), centre - View().Axis().Span() / 2);
    player->position = 10;
    QTest::qWait(1500);
    EXPECT_DOUBLE_EQ(View().Axis().From(), centre - View().Axis().Span() / 2);
}

// Asked where playback is right after Play or a seek, a player at a busy
// sound server may fail to start.
TEST_F(WaveformTest, ThePlayerIsNotAskedWherePlaybackIsRightAfterPlayOrASeek)
{
    Click(ControlId::Play);
    player->statusReads = 0;
    QTest::qWait(150);
    EXPECT_EQ(player->statusReads, 0);

    QTest::mouseClick(&View(), Qt::LeftButton, {}, At(12));
    QTest::qWait(150);
    EXPECT_EQ(player->statusReads, 0);
    // The cursor moves on all the same, and is put right once playback is left alone.
    const double shownAt = View().Axis().From();
    player->position = 40;
    EXPECT_TRUE(QTest::qWaitFor([&] { return player->statusReads > 0; }, 3000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return View().Axis().From() != shownAt; }, 1000));
    EXPECT_LE(View().Axis().From(), 40);
    EXPECT_GT(View().Axis().To(), 40);
}

TEST_F(WaveformTest, AnotherFeatureDrawsItsBandsOverTheSound)
{
    const QPoint inside = At(3) - QPoint(0, View().SoundArea().height() / 4);
    const QColor ground = ColourAt(inside);
    View().SetBands(QStringLiteral("pauses"), {{2, 4, QColor(Qt::green), {}}});
    EXPECT_EQ(ColourAt(inside), QColor(Qt::green));
    EXPECT_EQ(ColourAt(At(5) - QPoint(0, View().SoundArea().height() / 4)), ground);
    View().SetBands(QStringLiteral("pauses"), {});
    EXPECT_EQ(ColourAt(inside), ground);
}

// A line another feature draws (a melody): where its values put it, broken
// where they are missing, gone with its layer.
TEST_F(WaveformTest, AnotherFeatureDrawsItsLinesOverTheSound)
{
    const QColor orange(0xff, 0xa0, 0x40);
    std::vector<float> values(200, 0.5f);
    std::fill(values.begin() + 100, values.begin() + 120, std::numeric_limits<float>::quiet_NaN());
    const int up = int(std::lround(0.5 * (View().SoundArea().height() / 2.0 - 2)));
    const QPoint onLine = At(2.5) - QPoint(0, up);
    const QPoint inGap = At(3.1) - QPoint(0, up);
    const QColor ground = ColourAt(inGap);
    View().SetCurves(QStringLiteral("melody"), {{2, 0.01, values, orange}});
    EXPECT_EQ(ColourAt(onLine), orange);
    EXPECT_EQ(ColourAt(inGap), ground);
    View().SetCurves(QStringLiteral("melody"), {});
    EXPECT_NE(ColourAt(onLine), orange);
}

} // namespace
