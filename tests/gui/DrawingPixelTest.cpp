// Pixel rules of the drawing context, checked on whichever surface the build uses: the
// software surface natively, GDI in the Windows builds.
#include "gui/GuiBitmap.h"
#include "gui/OffscreenContext.h"
#include "tests/support/Canvas.h"
#include "tests/support/TestBitmaps.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace
{

const GuiColor kBackground(0, 0, 0);
const GuiColor kPen(250, 20, 30);
const GuiColor kBrush(10, 40, 230);

bool onClosedOutline(int x, int y, const GuiRect& r)
{
    const bool onVertical = (x == r.left || x == r.right) && y >= r.top && y <= r.bottom;
    const bool onHorizontal = (y == r.top || y == r.bottom) && x >= r.left && x <= r.right;
    return onVertical || onHorizontal;
}

TEST(DrawingPixels, FramedAndFilledRectangleKeepOutlineAndInteriorApart)
{
    Canvas canvas(20, 20, kBackground);
    const GuiRect r(2, 3, 12, 15);
    canvas.ctx().setFrameColor(kPen);
    canvas.ctx().setFillColor(kBrush);
    canvas.ctx().fillRect(r);
    canvas.ctx().drawRect(r);
    EXPECT_EQ("", canvas.differences(
                      [&](int x, int y)
                      {
                          if (onClosedOutline(x, y, r))
                          {
                              return kPen;
                          }
                          return x > r.left && x < r.right && y > r.top && y < r.bottom ? kBrush
                                                                                        : kBackground;
                      }));
}

TEST(DrawingPixels, FillRectAloneCoversColumnsAndRowsOneInsideTheEdges)
{
    Canvas canvas(12, 12, kBackground);
    canvas.ctx().setFillColor(kBrush);
    canvas.ctx().fillRect(GuiRect(0, 0, 10, 10));
    EXPECT_EQ("",
              canvas.differences([](int x, int y)
                                 { return x >= 1 && x <= 9 && y >= 1 && y <= 9 ? kBrush : kBackground; }));
}

TEST(DrawingPixels, LinesLeaveTheirEndPixelUnset)
{
    struct LineCase
    {
        const char* label;
        GuiPoint from;
        GuiPoint to;
    };
    const LineCase cases[] = {
        {"rightwards", {2, 5}, {10, 5}},
        {"leftwards", {10, 5}, {2, 5}},
        {"downwards", {4, 1}, {4, 9}},
        {"upwards", {4, 9}, {4, 1}},
    };
    for (const LineCase& c : cases)
    {
        SCOPED_TRACE(c.label);
        Canvas canvas(12, 12, kBackground);
        canvas.ctx().setFrameColor(kPen);
        canvas.ctx().moveTo(c.from);
        canvas.ctx().lineTo(c.to);
        const int x0 = c.from.h < c.to.h ? c.from.h : c.to.h;
        const int x1 = c.from.h < c.to.h ? c.to.h : c.from.h;
        const int y0 = c.from.v < c.to.v ? c.from.v : c.to.v;
        const int y1 = c.from.v < c.to.v ? c.to.v : c.from.v;
        EXPECT_EQ("", canvas.differences(
                          [&](int x, int y)
                          {
                              const bool onSegment = x >= x0 && x <= x1 && y >= y0 && y <= y1;
                              const bool isEnd = x == c.to.h && y == c.to.v;
                              return onSegment && !isEnd ? kPen : kBackground;
                          }));
    }
}

TEST(DrawingPixels, EllipseFillStartsOnePixelFurtherInAndEndsAtTheOutlinesCorner)
{
    const GuiRect r(5, 4, 25, 20);
    Canvas outline(32, 32, kBackground);
    outline.ctx().setFrameColor(kPen);
    outline.ctx().drawEllipse(r);
    const GuiRect drawn = outline.extentOfNot(kBackground);
    EXPECT_EQ(r.left, drawn.left);
    EXPECT_EQ(r.top, drawn.top);
    EXPECT_EQ(r.right, drawn.right);
    EXPECT_EQ(r.bottom, drawn.bottom);
    // An outline: the centre stays clear.
    EXPECT_EQ(kBackground, outline.at(15, 12));

    Canvas filled(32, 32, kBackground);
    filled.ctx().setFillColor(kBrush);
    filled.ctx().fillEllipse(r);
    const GuiRect painted = filled.extentOfNot(kBackground);
    EXPECT_EQ(r.left + 1, painted.left);
    EXPECT_EQ(r.top + 1, painted.top);
    EXPECT_EQ(r.right, painted.right);
    EXPECT_EQ(r.bottom, painted.bottom);
    EXPECT_EQ(kBrush, filled.at(15, 12));
    // The corners of the box lie outside the ellipse.
    EXPECT_EQ(kBackground, filled.at(r.left + 1, r.top + 1));
    EXPECT_EQ(kBackground, filled.at(r.right, r.bottom));
}

// A quarter from the right end of the horizontal axis counter-clockwise to the top of
// the vertical one: the arc and the pie stay in the upper right quadrant.
TEST(DrawingPixels, QuarterArcAndPieStayInTheirQuadrant)
{
    const GuiRect r(4, 4, 28, 28);
    const GuiPoint centre(16, 16);
    const GuiPoint start(r.right, centre.v);
    const GuiPoint end(centre.h, r.top);
    for (int isPie = 0; isPie < 2; ++isPie)
    {
        SCOPED_TRACE(isPie ? "pie" : "arc");
        Canvas canvas(32, 32, kBackground);
        canvas.ctx().setFrameColor(kPen);
        canvas.ctx().setFillColor(kBrush);
        if (isPie)
        {
            canvas.ctx().fillArc(r, start, end);
        }
        else
        {
            canvas.ctx().drawArc(r, start, end);
        }
        const GuiRect painted = canvas.extentOfNot(kBackground);
        ASSERT_LE(painted.left, painted.right) << "nothing drawn";
        EXPECT_GE(painted.left, centre.h - 1);
        EXPECT_LE(painted.bottom, centre.v + 1);
        // The pie's box is one pixel smaller on every side, and a pen-less wedge may lose
        // one more on its right and bottom edges.
        EXPECT_GE(painted.right, r.right - (isPie ? 2 : 0));
        EXPECT_LE(painted.right, r.right);
        EXPECT_LE(painted.top, r.top + 1);
        const GuiColor inside = canvas.at(centre.h + 5, centre.v - 5);
        EXPECT_EQ(isPie ? kBrush : kBackground, inside);
        EXPECT_EQ(kBackground, canvas.at(centre.h - 5, centre.v + 5));
    }
}

TEST(DrawingPixels, PolygonFillsItsInteriorOnly)
{
    Canvas canvas(32, 32, kBackground);
    canvas.ctx().setFrameColor(kPen);
    canvas.ctx().setFillColor(kBrush);
    const GuiPoint square[] = {{2, 3}, {12, 3}, {12, 13}, {2, 13}};
    canvas.ctx().fillPolygon(square, 4);
    const GuiRect painted = canvas.extentOfNot(kBackground);
    EXPECT_EQ(2, painted.left);
    EXPECT_EQ(3, painted.top);
    EXPECT_EQ(11, painted.right);
    EXPECT_EQ(12, painted.bottom);
    EXPECT_EQ(kBrush, canvas.at(7, 8));

    const GuiPoint triangle[] = {{16, 30}, {30, 30}, {30, 16}};
    canvas.ctx().fillPolygon(triangle, 3);
    EXPECT_EQ(kBrush, canvas.at(27, 27));
    EXPECT_EQ(kBackground, canvas.at(19, 19));
    // The pen plays no part.
    EXPECT_EQ("", canvas.differences(
                      [&](int x, int y)
                      {
                          const GuiColor c = canvas.at(x, y);
                          return c == kBrush ? kBrush : kBackground;
                      }));
}

TEST(DrawingPixels, PolygonWithMoreThanThirtyPointsIsDrawnToo)
{
    Canvas canvas(40, 40, kBackground);
    canvas.ctx().setFillColor(kBrush);
    GuiPoint points[40];
    for (int i = 0; i < 10; ++i)
    {
        points[i] = GuiPoint(5 + 3 * i, 5);
        points[10 + i] = GuiPoint(35, 5 + 3 * i);
        points[20 + i] = GuiPoint(35 - 3 * i, 35);
        points[30 + i] = GuiPoint(5, 35 - 3 * i);
    }
    canvas.ctx().fillPolygon(points, 40);
    const GuiRect painted = canvas.extentOfNot(kBackground);
    EXPECT_EQ(5, painted.left);
    EXPECT_EQ(34, painted.right);
    EXPECT_EQ(5, painted.top);
    EXPECT_EQ(34, painted.bottom);
}

TEST(DrawingPixels, FloodFillPaintsTheConnectedAreaOfOneColour)
{
    Canvas canvas(20, 20, kBackground);
    const GuiRect box(3, 3, 12, 12);
    canvas.ctx().setFrameColor(kPen);
    canvas.ctx().drawRect(box);
    // A pixel of another colour inside the box is not part of the area.
    const GuiColor island(9, 9, 9);
    canvas.ctx().drawPoint(GuiPoint(7, 7), island);
    canvas.ctx().setFillColor(kBrush);
    canvas.ctx().floodFill(GuiPoint(5, 5));
    EXPECT_EQ("", canvas.differences(
                      [&](int x, int y)
                      {
                          if (onClosedOutline(x, y, box))
                          {
                              return kPen;
                          }
                          if (x == 7 && y == 7)
                          {
                              return island;
                          }
                          return x > box.left && x < box.right && y > box.top && y < box.bottom ? kBrush
                                                                                                : kBackground;
                      }));
}

TEST(DrawingPixels, XorLinesDrawnTwiceRestoreThePicture)
{
    Canvas canvas(24, 24, kBackground);
    for (int y = 0; y < 24; ++y)
    {
        for (int x = 0; x < 24; ++x)
        {
            canvas.ctx().drawPoint(GuiPoint(x, y), GuiColor(static_cast<std::uint8_t>(x * 10),
                                                            static_cast<std::uint8_t>(y * 10), 99));
        }
    }
    auto picture = [](int x, int y)
    { return GuiColor(static_cast<std::uint8_t>(x * 10), static_cast<std::uint8_t>(y * 10), 99); };
    canvas.ctx().setFrameColor(GuiColor(0x5A, 0xA5, 0x3C));
    canvas.ctx().setDrawMode(kModeXor);
    const GuiPoint zigzag[] = {{1, 1}, {20, 7}, {3, 15}, {22, 22}, {1, 22}};
    canvas.ctx().polyLine(zigzag, 5);
    canvas.ctx().moveTo(GuiPoint(0, 12));
    canvas.ctx().lineTo(GuiPoint(23, 11));
    EXPECT_NE("", canvas.differences(picture)) << "the first pass changed nothing";
    canvas.ctx().polyLine(zigzag, 5);
    canvas.ctx().moveTo(GuiPoint(0, 12));
    canvas.ctx().lineTo(GuiPoint(23, 11));
    EXPECT_EQ("", canvas.differences(picture));
}

enum class TransparencyWay
{
    PrebuiltMask,
    SystemTransfer,
    MaskOnTheFly
};

class TransparentDrawing : public ::testing::TestWithParam<TransparencyWay>
{
};

TEST_P(TransparentDrawing, OnlyTheExactKeyColourStaysTransparent)
{
    const GuiColor destination(20, 160, 40);
    Canvas canvas(16, 10, destination);
    GuiBitmap* bitmap = new GuiBitmap(kKeyBitmapId);
    ASSERT_TRUE(bitmap->isLoaded());
    loadOptionalDrawingEntries();
    if (GetParam() == TransparencyWay::PrebuiltMask)
    {
        OffscreenContext shown(&canvas.ctx(), bitmap, false);
        bitmap->buildMask(&shown, GuiPoint(0, 0));
    }
    else if (GetParam() == TransparencyWay::MaskOnTheFly)
    {
        gTransparentBlt = nullptr;
    }
    else if (gTransparentBlt == nullptr)
    {
        bitmap->release();
        GTEST_SKIP() << "the system offers no transparent transfer";
    }
    // The bitmap's second row onwards, three rows of it, at (3, 4).
    bitmap->drawTransparent(&canvas.ctx(), GuiRect(3, 4, 11, 7), GuiPoint(0, 1));
    loadOptionalDrawingEntries();
    EXPECT_EQ("", canvas.differences(
                      [&](int x, int y)
                      {
                          if (x < 3 || x >= 11 || y < 4 || y >= 7)
                          {
                              return destination;
                          }
                          const int pair = (x - 3) / 2;
                          return pair == 0 ? destination : keyColumn(pair);
                      }));
    bitmap->release();
}

INSTANTIATE_TEST_SUITE_P(AllWays, TransparentDrawing,
                         ::testing::Values(TransparencyWay::PrebuiltMask, TransparencyWay::SystemTransfer,
                                           TransparencyWay::MaskOnTheFly));

TEST(DrawingPixels, TransparentColourCanBeChanged)
{
    const GuiColor destination(20, 160, 40);
    Canvas canvas(8, 4, destination);
    GuiBitmap* bitmap = new GuiBitmap(kKeyBitmapId);
    bitmap->setTransparentColor(keyColumn(2));
    gTransparentBlt = nullptr;
    bitmap->drawTransparent(&canvas.ctx(), GuiRect(0, 0, 8, 4), GuiPoint(0, 0));
    loadOptionalDrawingEntries();
    EXPECT_EQ("",
              canvas.differences([&](int x, int) { return x / 2 == 2 ? destination : keyColumn(x / 2); }));
    bitmap->release();
}

TEST(DrawingPixels, AlphaBlendMixesWithConstantOpacity)
{
    const GuiColor destination(0, 0, 200);
    loadOptionalDrawingEntries();
    if (gAlphaBlend == nullptr)
    {
        GTEST_SKIP() << "the system offers no blending";
    }
    for (int alpha : {0, 64, 128, 255})
    {
        SCOPED_TRACE(alpha);
        Canvas canvas(12, 12, destination);
        GuiBitmap* bitmap = new GuiBitmap(kPatternBitmapId);
        bitmap->drawAlphaBlend(&canvas.ctx(), GuiRect(1, 1, 11, 11), GuiPoint(5, 20), alpha);
        for (int y = 1; y < 11; ++y)
        {
            for (int x = 1; x < 11; ++x)
            {
                const GuiColor s = patternPixel(x - 1 + 5, y - 1 + 20);
                const GuiColor got = canvas.at(x, y);
                auto mixed = [&](int sc, int dc) { return (sc * alpha + dc * (255 - alpha)) / 255.0; };
                EXPECT_NEAR(got.red, mixed(s.red, destination.red), 1.0);
                EXPECT_NEAR(got.green, mixed(s.green, destination.green), 1.0);
                EXPECT_NEAR(got.blue, mixed(s.blue, destination.blue), 1.0);
            }
        }
        EXPECT_EQ(destination, canvas.at(0, 0));
        EXPECT_EQ(destination, canvas.at(11, 11));
        bitmap->release();
    }
}

TEST(DrawingPixels, DrawCopiesTheBlockAtTheSourceOffset)
{
    const GuiColor destination(1, 2, 3);
    Canvas canvas(50, 50, destination);
    GuiBitmap* bitmap = new GuiBitmap(kPatternBitmapId);
    bitmap->draw(&canvas.ctx(), GuiRect(10, 10, 40, 40), GuiPoint(0, 30));
    EXPECT_EQ("", canvas.differences(
                      [&](int x, int y)
                      {
                          if (x < 10 || x >= 40 || y < 10 || y >= 40)
                          {
                              return destination;
                          }
                          return patternPixel(x - 10, y - 10 + 30);
                      }));
    bitmap->release();
}

TEST(DrawingPixels, ResourceNumberUsesOnlyItsLow16Bits)
{
    const GuiColor destination(1, 2, 3);
    GuiBitmap* bitmap = new GuiBitmap(0x30000 | kPatternBitmapId);
    ASSERT_TRUE(bitmap->isLoaded());
    EXPECT_EQ(30, bitmap->getWidth());
    EXPECT_EQ(60, bitmap->getHeight());
    Canvas canvas(4, 4, destination);
    bitmap->draw(&canvas.ctx(), GuiRect(0, 0, 4, 4), GuiPoint(7, 9));
    EXPECT_EQ(patternPixel(9, 12), canvas.at(2, 3));
    bitmap->release();
}

TEST(DrawingPixels, MissingResourceLeavesAnEmptyBitmapThatDrawsNothing)
{
    const GuiColor destination(1, 2, 3);
    GuiBitmap* bitmap = new GuiBitmap(4321);
    EXPECT_FALSE(bitmap->isLoaded());
    EXPECT_EQ(0, bitmap->getWidth());
    EXPECT_EQ(0, bitmap->getHeight());
    Canvas canvas(6, 6, destination);
    loadOptionalDrawingEntries();
    bitmap->draw(&canvas.ctx(), GuiRect(0, 0, 6, 6), GuiPoint(0, 0));
    bitmap->drawTransparent(&canvas.ctx(), GuiRect(0, 0, 6, 6), GuiPoint(0, 0));
    bitmap->drawAlphaBlend(&canvas.ctx(), GuiRect(0, 0, 6, 6), GuiPoint(0, 0), 128);
    EXPECT_EQ("", canvas.differences([&](int, int) { return destination; }));
    bitmap->release();
}

TEST(DrawingPixels, FreshOffscreenContextIsEntirelyItsColour)
{
    for (const GuiColor& colour : {kColorBlack, GuiColor(10, 200, 30), kColorWhite})
    {
        SCOPED_TRACE(Canvas::describe(colour));
        Canvas canvas(30, 150, colour);
        EXPECT_EQ("", canvas.differences([&](int, int) { return colour; }));
    }
}

TEST(DrawingPixels, OffscreenCopyOfABitmapHoldsItsPicture)
{
    Canvas canvas(4, 4, kBackground);
    GuiBitmap* bitmap = new GuiBitmap(kPatternBitmapId);
    OffscreenContext copy(&canvas.ctx(), bitmap, false);
    EXPECT_EQ(30, copy.getWidth());
    EXPECT_EQ(60, copy.getHeight());
    for (const GuiPoint& p : {GuiPoint(0, 0), GuiPoint(29, 59), GuiPoint(13, 41)})
    {
        EXPECT_EQ(patternPixel(p.h, p.v), copy.getPoint(p));
    }
    // Drawing on the copy leaves the shared bitmap alone.
    copy.drawPoint(GuiPoint(0, 0), kColorRed);
    bitmap->draw(&canvas.ctx(), GuiRect(0, 0, 1, 1), GuiPoint(0, 0));
    EXPECT_EQ(patternPixel(0, 0), canvas.at(0, 0));
    bitmap->release();
}

TEST(DrawingPixels, OffscreenDrawingIntoABitmapChangesTheSharedBitmap)
{
    Canvas canvas(4, 4, kBackground);
    GuiBitmap* bitmap = new GuiBitmap(kPatternBitmapId);
    {
        OffscreenContext into(&canvas.ctx(), bitmap, true);
        into.drawPoint(GuiPoint(3, 5), kColorRed);
    }
    bitmap->draw(&canvas.ctx(), GuiRect(0, 0, 2, 2), GuiPoint(2, 4));
    EXPECT_EQ(patternPixel(2, 4), canvas.at(0, 0));
    EXPECT_EQ(kColorRed, canvas.at(1, 1));
    bitmap->release();
}

TEST(DrawingPixels, CopyToAndCopyFromMoveBlocksBetweenSurfaces)
{
    const GuiColor destination(5, 6, 7);
    Canvas source(12, 20, kBackground);
    for (int y = 0; y < 20; ++y)
    {
        for (int x = 0; x < 12; ++x)
        {
            source.ctx().drawPoint(GuiPoint(x, y), patternPixel(x, y));
        }
    }
    Canvas window(40, 40, destination);
    // The top-left 8 × 15 pixels land at (20, 10).
    source.ctx().copyTo(&window.ctx(), GuiRect(20, 10, 28, 25), GuiPoint(0, 0));
    EXPECT_EQ("", window.differences(
                      [&](int x, int y) {
                          return x >= 20 && x < 28 && y >= 10 && y < 25 ? patternPixel(x - 20, y - 10)
                                                                        : destination;
                      }));

    Canvas back(10, 10, destination);
    back.ctx().copyFrom(&window.ctx(), GuiRect(22, 13, 26, 16), GuiPoint(1, 2));
    EXPECT_EQ("", back.differences(
                      [&](int x, int y) {
                          return x >= 1 && x < 5 && y >= 2 && y < 5 ? patternPixel(x - 1 + 2, y - 2 + 3)
                                                                    : destination;
                      }));
}

TEST(DrawingPixels, GetPointAnswersAColourWithAZeroFourthByte)
{
    Canvas canvas(4, 4, kBackground);
    canvas.ctx().drawPoint(GuiPoint(1, 2), GuiColor(11, 22, 33, 44));
    const GuiColor c = canvas.at(1, 2);
    EXPECT_EQ(11, c.red);
    EXPECT_EQ(22, c.green);
    EXPECT_EQ(33, c.blue);
    EXPECT_EQ(0, c.spare);
}

} // namespace
