#include "gui/GuiTypes.h"

#include <gtest/gtest.h>

namespace
{

TEST(GuiRect, TouchingEdgesIntersectButRightAndBottomEdgesAreNotContained)
{
    const GuiRect r(0, 0, 10, 10);
    EXPECT_TRUE(r.intersects(GuiRect(10, 10, 20, 20)));
    EXPECT_FALSE(r.intersects(GuiRect(11, 0, 20, 10)));
    EXPECT_FALSE(r.intersects(GuiRect(0, 11, 10, 20)));
    EXPECT_FALSE(r.intersects(GuiRect(-10, -10, -1, 5)));
}

struct PointCase
{
    GuiPoint p;
    bool isContained; // half-open
    bool isInside;    // closed
};

class PointTests : public ::testing::TestWithParam<PointCase>
{
};

TEST_P(PointTests, ContainsPointIsHalfOpenWhileIsInsideIsClosed)
{
    const GuiRect r(0, 0, 10, 10);
    const PointCase& c = GetParam();
    EXPECT_EQ(c.isContained, r.containsPoint(c.p)) << c.p.h << "," << c.p.v;
    EXPECT_EQ(c.isInside, c.p.isInside(r)) << c.p.h << "," << c.p.v;
}

INSTANTIATE_TEST_SUITE_P(Edges, PointTests,
                         ::testing::Values(PointCase{{0, 0}, true, true}, PointCase{{9, 9}, true, true},
                                           PointCase{{10, 5}, false, true}, PointCase{{5, 10}, false, true},
                                           PointCase{{10, 10}, false, true}, PointCase{{-1, 5}, false, false},
                                           PointCase{{11, 5}, false, false},
                                           PointCase{{5, -1}, false, false}));

TEST(GuiRect, SetFromCornersSortsEachAxis)
{
    GuiRect r;
    r.setFromCorners(30, 5, 10, 25);
    EXPECT_EQ(10, r.left);
    EXPECT_EQ(5, r.top);
    EXPECT_EQ(30, r.right);
    EXPECT_EQ(25, r.bottom);
    EXPECT_EQ(20, r.width());
    EXPECT_EQ(20, r.height());
}

TEST(GuiRect, ConstructionKeepsUnorderedEdgesAndOffsetMovesBothAxes)
{
    GuiRect r(30, 40, 10, 20);
    EXPECT_EQ(-20, r.width());
    r.offset(5, -7);
    EXPECT_EQ(35, r.left);
    EXPECT_EQ(33, r.top);
    EXPECT_EQ(15, r.right);
    EXPECT_EQ(13, r.bottom);
    GuiPoint p(1, 2);
    p.offset(-3, 4);
    EXPECT_EQ(-2, p.h);
    EXPECT_EQ(6, p.v);
}

TEST(GuiColor, EqualityIgnoresTheFourthByte)
{
    EXPECT_EQ(GuiColor(1, 2, 3, 0), GuiColor(1, 2, 3, 200));
    EXPECT_NE(GuiColor(1, 2, 3, 0), GuiColor(1, 2, 4, 0));
    EXPECT_NE(GuiColor(1, 2, 3, 0), GuiColor(0, 2, 3, 0));
    EXPECT_NE(GuiColor(1, 2, 3, 0), GuiColor(1, 0, 3, 0));
    EXPECT_EQ(0x030201u, GuiColor(1, 2, 3, 99).toColorRef());
}

TEST(GuiColor, ConstantsHaveTheirValues)
{
    struct Named
    {
        const char* name;
        GuiColor color;
        std::uint32_t colorRef;
    };
    const Named table[] = {
        {"black", kColorBlack, 0x000000},   {"white", kColorWhite, 0xFFFFFF},
        {"grey", kColorGrey, 0x7F7F7F},     {"red", kColorRed, 0x0000FF},
        {"green", kColorGreen, 0x00FF00},   {"blue", kColorBlue, 0xFF0000},
        {"yellow", kColorYellow, 0x00FFFF}, {"magenta", kColorMagenta, 0xFF00FF},
        {"cyan", kColorCyan, 0xFFFF00},     {"key", kColorKey, 0xFFFFFF},
    };
    for (const Named& n : table)
    {
        SCOPED_TRACE(n.name);
        EXPECT_EQ(n.colorRef, n.color.toColorRef());
        EXPECT_EQ(0, n.color.spare);
    }
}

} // namespace
