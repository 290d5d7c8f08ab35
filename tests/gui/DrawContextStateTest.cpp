// How the drawing context manages the surface's objects and modes, seen through a
// recording surface.
#include "gui/DrawContext.h"
#include "gui/GuiFrame.h"
#include "tests/support/RecordingSurface.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace
{

TEST(DrawContextState, EveryPenSetterBuildsANewPenAndDeletesTheOldOne)
{
    RecordingSurface surface;
    platform::GfxObject originalPen = surface.currentObject(platform::ObjectKind::Pen);
    {
        DrawContext context(nullptr, &surface, nullptr);
        // Construction applies the frame colour and the line style: two pens, the first
        // replaced by the second.
        EXPECT_EQ(2, surface.pensCreated);
        EXPECT_EQ(1, surface.brushesCreated);
        const int deletionsBefore = surface.deletions;
        context.setFrameColor(context.getFrameColor());
        context.setLineWidth(1);
        context.setLineStyle(kLineSolid);
        EXPECT_EQ(5, surface.pensCreated);
        EXPECT_EQ(deletionsBefore + 3, surface.deletions);
        // The pen that was deleted last is not the one selected.
        EXPECT_NE(surface.deleted.back(), surface.currentObject(platform::ObjectKind::Pen));
    }
    // Destruction puts the surface's own pen back and never deletes it.
    EXPECT_EQ(originalPen, surface.currentObject(platform::ObjectKind::Pen));
    EXPECT_EQ(surface.deleted.end(), std::find(surface.deleted.begin(), surface.deleted.end(), originalPen));
    // Every object the context made is gone: 5 pens, 1 brush.
    EXPECT_EQ(6, surface.deletions);
}

TEST(DrawContextState, DrawModeTouchesTheSurfaceOnlyOnChange)
{
    RecordingSurface surface;
    DrawContext context(nullptr, &surface, nullptr);
    context.setDrawMode(kModeCopy);
    EXPECT_EQ(0, surface.lineMixCalls);
    context.setDrawMode(kModeXor);
    context.setDrawMode(kModeXor);
    EXPECT_EQ(1, surface.lineMixCalls);
    context.setDrawMode(kModeOr);
    EXPECT_EQ(2, surface.lineMixCalls);
}

TEST(DrawContextState, RefusedBrushKeepsTheOldBrushButTakesTheColour)
{
    RecordingSurface surface;
    DrawContext context(nullptr, &surface, nullptr);
    platform::GfxObject brush = surface.currentObject(platform::ObjectKind::Brush);
    surface.isBrushRefused = true;
    context.setFillColor(kColorRed);
    EXPECT_EQ(brush, surface.currentObject(platform::ObjectKind::Brush));
    EXPECT_EQ(kColorRed, context.getFillColor());
    EXPECT_EQ(kColorRed.toColorRef(), surface.backgroundColors.back());
    surface.isBrushRefused = false;
    context.setFillColor(kColorBlue);
    EXPECT_NE(brush, surface.currentObject(platform::ObjectKind::Brush));
    EXPECT_EQ(brush, surface.deleted.back());
}

TEST(DrawContextState, FreshContextUsesTheDefaultsAndATransparentTextBackground)
{
    RecordingSurface surface;
    surface.setBackgroundOpaque(true);
    DrawContext context(nullptr, &surface, nullptr);
    EXPECT_FALSE(surface.isBackgroundOpaque());
    EXPECT_EQ(kColorWhite, context.getFrameColor());
    EXPECT_EQ(kColorBlack, context.getFillColor());
    EXPECT_EQ(kColorWhite, context.getFontColor());
    EXPECT_EQ(1, context.getLineWidth());
    EXPECT_EQ(kModeCopy, context.getDrawMode());
    EXPECT_EQ(0, surface.fontsCreated);
    EXPECT_EQ(1000, context.getClipRect().right);
}

TEST(DrawContextState, ClipRectStartsAsTheFramesBounds)
{
    GuiFrame* frame = new GuiFrame(GuiRect(0, 0, 500, 350), nullptr, nullptr);
    RecordingSurface surface;
    {
        DrawContext context(frame, &surface, nullptr);
        EXPECT_EQ(500, context.getClipRect().right);
        EXPECT_EQ(350, context.getClipRect().bottom);
        context.setClipRect(GuiRect(1, 2, 3, 4));
        context.resetClipRect();
        EXPECT_EQ(350, context.getClipRect().bottom);
    }
    frame->release();
}

struct FontCase
{
    std::int32_t id;
    std::int32_t size;
    std::int32_t style;
    const char* face;
    std::int32_t expectedSize;
    std::int32_t weight;
    bool isItalic;
    bool isUnderlined;
    bool isDecorative;
};

class FontSelection : public ::testing::TestWithParam<FontCase>
{
};

TEST_P(FontSelection, FollowsTheFontTable)
{
    const FontCase& c = GetParam();
    RecordingSurface surface;
    DrawContext context(nullptr, &surface, nullptr);
    context.setFont(c.id, c.size, c.style);
    ASSERT_EQ(1u, surface.fontRequests.size());
    const platform::FontRequest& r = surface.fontRequests.front();
    EXPECT_STREQ(c.face, r.faceName);
    EXPECT_EQ(c.expectedSize, r.heightPx);
    EXPECT_EQ(c.expectedSize, context.getFontSize());
    EXPECT_EQ(c.weight, r.weight);
    EXPECT_EQ(c.isItalic, r.isItalic);
    EXPECT_EQ(c.isUnderlined, r.isUnderlined);
    EXPECT_EQ(c.isDecorative, r.isDecorative);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FontSelection,
    ::testing::Values(FontCase{9, 0, 0, "Arial", 12, 700, false, false, false},
                      FontCase{-1, 0, 0, "Arial", 12, 700, false, false, false},
                      FontCase{8, 0, 0, "Arial", 12, 700, false, false, false},
                      FontCase{3, 0, kStyleBold | kStyleItalic, "Arial", 12, 700, true, false, false},
                      FontCase{0, 20, 0, "Arial", 20, 700, false, false, false},
                      FontCase{1, 0, 0, "Arial", 18, 400, false, false, false},
                      FontCase{4, 0, kStyleUnderline, "Arial", 11, 400, false, true, false},
                      FontCase{6, 0, 0, "Arial", 9, 400, false, false, false},
                      FontCase{7, 0, 0, "Symbol", 13, 400, false, false, true},
                      FontCase{7, 30, kStyleBold, "Symbol", 30, 700, false, false, true}));

TEST(DrawContextState, ReplacedFontIsDeletedAtOnce)
{
    RecordingSurface surface;
    DrawContext context(nullptr, &surface, nullptr);
    context.setFont(kFontNormal);
    platform::GfxObject first = surface.currentObject(platform::ObjectKind::Font);
    context.setFont(kFontSmall);
    EXPECT_EQ(first, surface.deleted.back());
    EXPECT_EQ(kFontSmall, context.getFontId());
}

struct AlignCase
{
    std::int32_t align;
    unsigned format;
    int left;
};

TEST(DrawContextState, DrawStringAlignsAndAlwaysEndsWithATransparentBackground)
{
    const AlignCase cases[] = {{kAlignLeft, platform::kTextLeft, 11},
                               {kAlignCenter, platform::kTextCenter, 10},
                               {kAlignRight, platform::kTextRight, 10},
                               {5, platform::kTextLeft, 11},
                               {-1, platform::kTextLeft, 11}};
    for (const AlignCase& c : cases)
    {
        for (bool opaque : {false, true})
        {
            SCOPED_TRACE(std::to_string(c.align) + (opaque ? " opaque" : " transparent"));
            RecordingSurface surface;
            DrawContext context(nullptr, &surface, nullptr);
            context.drawString("Ab", GuiRect(10, 0, 30, 12), opaque, c.align);
            ASSERT_EQ(1u, surface.textFormats.size());
            EXPECT_EQ(c.format, surface.textFormats[0]);
            EXPECT_EQ(c.left, surface.textLefts[0]);
            EXPECT_FALSE(surface.isBackgroundOpaque());
        }
    }
    RecordingSurface surface;
    DrawContext context(nullptr, &surface, nullptr);
    context.drawString(nullptr, GuiRect(0, 0, 10, 10), true, kAlignLeft);
    EXPECT_TRUE(surface.textFormats.empty());
}

} // namespace
