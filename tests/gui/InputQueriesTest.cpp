// Mouse and keyboard queries of the drawing context, driven by scripted input.
#include "gui/DrawContext.h"
#include "gui/GuiFrame.h"
#include "platform/headless/ScriptedInput.h"

#include <gtest/gtest.h>
#include <string>

namespace
{

using platform::InputKey;

class InputQueries : public ::testing::Test
{
protected:
    void SetUp() override { platform::setInput(&input); }
    void TearDown() override
    {
        platform::setInput(nullptr);
        gButtonsSwapped = false;
    }
    platform::ScriptedInput input;
};

// Counts the idle passes a tracking loop lets run.
class IdleCountingFrame : public GuiFrame
{
public:
    IdleCountingFrame()
        : GuiFrame(GuiRect(0, 0, 100, 100), nullptr, nullptr)
    {
    }
    void runIdleTasks() override { ++idlePasses; }
    int idlePasses = 0;
};

TEST_F(InputQueries, ButtonsAndModifiersMapToTheirBits)
{
    struct ButtonCase
    {
        InputKey key;
        bool isSwapped;
        MouseButtons expected;
    };
    const ButtonCase cases[] = {
        {InputKey::LeftButton, false, kMouseLeft},    {InputKey::RightButton, false, kMouseRight},
        {InputKey::LeftButton, true, kMouseRight},    {InputKey::RightButton, true, kMouseLeft},
        {InputKey::MiddleButton, true, kMouseMiddle}, {InputKey::Shift, false, kModShift},
        {InputKey::Control, false, kModControl},      {InputKey::Alt, false, kModAlt},
    };
    DrawContext context(nullptr, nullptr, nullptr);
    EXPECT_EQ(0, context.getMouseButtons());
    for (const ButtonCase& c : cases)
    {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.key)) + (c.isSwapped ? " swapped" : ""));
        gButtonsSwapped = c.isSwapped;
        input.setKeyDown(c.key, true);
        EXPECT_EQ(c.expected, context.getMouseButtons());
        input.setKeyDown(c.key, false);
    }
    input.setKeyDown(InputKey::LeftButton, true);
    input.setKeyDown(InputKey::Shift, true);
    input.setKeyDown(InputKey::Alt, true);
    gButtonsSwapped = false;
    EXPECT_EQ(kMouseLeft | kModShift | kModAlt, context.getMouseButtons());
}

TEST_F(InputQueries, MouseLocationIsRelativeToTheWindowAndIgnoresTheOffset)
{
    int window = 0;
    input.setWindowOrigin(200, 150);
    input.setCursor(230, 170);
    DrawContext context(nullptr, nullptr, &window);
    GuiPoint p;
    context.getMouseLocation(p);
    EXPECT_EQ(30, p.h);
    EXPECT_EQ(20, p.v);
}

struct DoubleClickCase
{
    const char* label;
    int dx; // pointer move before the second press
    int dy;
    bool expected;
};

class DoubleClickMoves : public InputQueries, public ::testing::WithParamInterface<DoubleClickCase>
{
};

TEST_P(DoubleClickMoves, SecondPressCountsOnlyInsideTheBox)
{
    const DoubleClickCase& c = GetParam();
    input.setCursor(50, 50);
    input.setMessageTimeMs(input.now());
    input.cursorAt(input.now() + 20, 50 + c.dx, 50 + c.dy);
    input.pressAt(input.now() + 40);
    DrawContext context(nullptr, nullptr, nullptr);
    EXPECT_EQ(c.expected, context.waitDoubleClick());
}

INSTANTIATE_TEST_SUITE_P(
    Box, DoubleClickMoves,
    ::testing::Values(DoubleClickCase{"still", 0, 0, true}, DoubleClickCase{"two left", -2, 0, true},
                      DoubleClickCase{"two up", 0, -2, true},
                      DoubleClickCase{"one right and down", 1, 1, true},
                      DoubleClickCase{"three left", -3, 0, false}, DoubleClickCase{"three up", 0, -3, false},
                      DoubleClickCase{"two right", 2, 0, false}, DoubleClickCase{"two down", 0, 2, false}),
    [](const ::testing::TestParamInfo<DoubleClickCase>& info)
    {
        std::string name = info.param.label;
        for (char& ch : name)
        {
            ch = ch == ' ' ? '_' : ch;
        }
        return name;
    });

TEST_F(InputQueries, DoubleClickIntervalThatHasPassedAnswersFalseAtOnce)
{
    input.setDoubleClickTimeMs(500);
    input.setMessageTimeMs(input.now() - 600);
    input.pressAt(input.now());
    DrawContext context(nullptr, nullptr, nullptr);
    const int pollsBefore = input.pollCount();
    EXPECT_FALSE(context.waitDoubleClick());
    // One look at the pointer and one at the clock; the queued press stays queued.
    EXPECT_LE(input.pollCount() - pollsBefore, 2);
    EXPECT_EQ(1, input.queuedPresses());
}

TEST_F(InputQueries, DoubleClickWithoutASecondPressEndsAtTheDeadline)
{
    input.setDoubleClickTimeMs(300);
    input.setMessageTimeMs(input.now());
    input.pressAt(input.now() + 400);
    DrawContext context(nullptr, nullptr, nullptr);
    EXPECT_FALSE(context.waitDoubleClick());
    EXPECT_GE(input.now(), input.messageTimeMs() + 300);
    EXPECT_LT(input.now(), input.messageTimeMs() + 400);
}

TEST_F(InputQueries, DoubleClickConsumesTheSecondPress)
{
    input.setMessageTimeMs(input.now());
    input.pressAt(input.now() + 10);
    DrawContext context(nullptr, nullptr, nullptr);
    EXPECT_TRUE(context.waitDoubleClick());
    EXPECT_EQ(0, input.queuedPresses());
}

TEST_F(InputQueries, DragStartsWhenThePointerLeavesTheBoxWithTheButtonDown)
{
    IdleCountingFrame* frame = new IdleCountingFrame;
    input.setCursor(40, 40);
    input.setKeyDown(InputKey::LeftButton, true);
    input.cursorAt(input.now() + 10, 41, 41);
    input.cursorAt(input.now() + 30, 42, 40);
    {
        DrawContext context(frame, nullptr, nullptr);
        EXPECT_TRUE(context.waitDrag());
    }
    EXPECT_GT(frame->idlePasses, 0);
    frame->release();
}

TEST_F(InputQueries, ReleaseInsideTheBoxIsNoDrag)
{
    IdleCountingFrame* frame = new IdleCountingFrame;
    input.setCursor(40, 40);
    input.setKeyDown(InputKey::LeftButton, true);
    input.cursorAt(input.now() + 10, 38, 41);
    input.keyAt(input.now() + 30, InputKey::LeftButton, false);
    input.cursorAt(input.now() + 50, 90, 90);
    {
        DrawContext context(frame, nullptr, nullptr);
        EXPECT_FALSE(context.waitDrag());
    }
    frame->release();
}

TEST_F(InputQueries, DragWithoutAFrameAnswersFalse)
{
    input.setKeyDown(InputKey::LeftButton, true);
    input.cursorAt(input.now() + 5, 90, 90);
    DrawContext context(nullptr, nullptr, nullptr);
    EXPECT_FALSE(context.waitDrag());
}

} // namespace
