// Text on the real surface, checked by where it lands and how far it reaches, never by
// the shapes of the glyphs.
#include "gui/DrawContext.h"
#include "tests/support/Canvas.h"

#include <gtest/gtest.h>

namespace
{

const GuiColor kBackground(0, 0, 0);
const GuiColor kInk(255, 255, 0);
const GuiColor kCell(0, 0, 160);

TEST(Text, WidthGrowsWithTheTextAndTheFontSize)
{
    Canvas canvas(8, 8, kBackground);
    canvas.ctx().setFont(kFontNormal);
    const int one = canvas.ctx().getStringWidth("W");
    const int three = canvas.ctx().getStringWidth("WWW");
    EXPECT_GT(one, 3);
    EXPECT_NEAR(3 * one, three, 2);
    EXPECT_EQ(0, canvas.ctx().getStringWidth(""));
    canvas.ctx().setFont(kFontHuge);
    EXPECT_GT(canvas.ctx().getStringWidth("WWW"), three);
}

TEST(Text, AlignmentPlacesTheTextWithinTheRectangle)
{
    const GuiRect box(10, 5, 110, 35);
    int widthOfText = 0;
    GuiRect extents[4];
    const std::int32_t aligns[4] = {kAlignLeft, kAlignCenter, kAlignRight, 5};
    for (int i = 0; i < 4; ++i)
    {
        SCOPED_TRACE(aligns[i]);
        Canvas canvas(120, 40, kBackground);
        canvas.ctx().setFont(kFontLarge);
        canvas.ctx().setFontColor(kInk);
        widthOfText = canvas.ctx().getStringWidth("HIH");
        canvas.ctx().drawString("HIH", box, false, aligns[i]);
        extents[i] = canvas.extentOfNot(kBackground);
        ASSERT_LE(extents[i].left, extents[i].right) << "no text drawn";
        EXPECT_GE(extents[i].left, box.left);
        EXPECT_LT(extents[i].right, box.right);
        // Vertically centred: the ink's middle lies near the box's middle.
        const int inkMiddle = (extents[i].top + extents[i].bottom) / 2;
        EXPECT_NEAR((box.top + box.bottom) / 2, inkMiddle, 3);
        EXPECT_LE(extents[i].right - extents[i].left + 1, widthOfText);
        EXPECT_GE(extents[i].right - extents[i].left + 1, widthOfText - 6);
    }
    // Left alignment starts one pixel in; H's side bearings add at most three.
    EXPECT_GE(extents[0].left, box.left + 1);
    EXPECT_LE(extents[0].left, box.left + 4);
    // Right alignment ends the text's advance at the right edge.
    EXPECT_GE(extents[2].left, box.right - widthOfText);
    EXPECT_LE(extents[2].left, box.right - widthOfText + 4);
    const int centre = (extents[1].left + extents[1].right) / 2;
    EXPECT_NEAR((box.left + box.right) / 2, centre, 2);
    // An unknown alignment behaves as left alignment.
    EXPECT_EQ(extents[0].left, extents[3].left);
    EXPECT_EQ(extents[0].right, extents[3].right);
}

TEST(Text, OpaqueTextPaintsItsCellInTheFillColourAndTransparentTextDoesNot)
{
    for (bool opaque : {false, true})
    {
        SCOPED_TRACE(opaque ? "opaque" : "transparent");
        Canvas canvas(100, 30, kBackground);
        canvas.ctx().setFont(kFontNormal);
        canvas.ctx().setFontColor(kInk);
        canvas.ctx().setFillColor(kCell);
        canvas.ctx().drawString("I", GuiRect(0, 0, 100, 30), opaque, kAlignCenter);
        int cellPixels = 0;
        for (int y = 0; y < 30; ++y)
        {
            for (int x = 0; x < 100; ++x)
            {
                cellPixels += canvas.at(x, y) == kCell ? 1 : 0;
            }
        }
        if (opaque)
        {
            EXPECT_GT(cellPixels, 0);
        }
        else
        {
            EXPECT_EQ(0, cellPixels);
        }
        // Either way the next text goes on a transparent background.
        canvas.ctx().drawString("I", GuiRect(0, 0, 30, 30), false, kAlignLeft);
        EXPECT_EQ(kBackground, canvas.at(25, 2));
    }
}

} // namespace
