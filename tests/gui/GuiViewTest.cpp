#include "gui/GuiView.h"

#include "gui/GuiFrame.h"

#include <gtest/gtest.h>

namespace
{

// Counts its draws and its destruction.
class ProbeView : public GuiView
{
public:
    ProbeView(const GuiRect& r, int* destroyed)
        : GuiView(r)
        , destroyedCount(destroyed)
    {
    }
    ~ProbeView() override { ++*destroyedCount; }
    void draw(DrawContext* context) override
    {
        ++draws;
        GuiView::draw(context);
    }
    int draws = 0;

private:
    int* destroyedCount;
};

TEST(GuiView, ContainsCountsAllFourEdgesAndOverlapsCountsTouchingAreas)
{
    GuiView* view = new GuiView(GuiRect(10, 10, 40, 40));
    struct Hit
    {
        GuiPoint p;
        bool isHit;
    };
    for (const Hit& h : {Hit{{40, 40}, true}, Hit{{10, 10}, true}, Hit{{41, 40}, false}, Hit{{9, 20}, false},
                         Hit{{20, 41}, false}})
    {
        EXPECT_EQ(h.isHit, view->contains(h.p, kMouseLeft)) << h.p.h << "," << h.p.v;
    }
    EXPECT_TRUE(view->overlaps(GuiRect(40, 40, 60, 60)));
    EXPECT_FALSE(view->overlaps(GuiRect(41, 10, 60, 60)));
    EXPECT_TRUE(view->overlaps(GuiRect(0, 0, 10, 10)));
    view->release();
}

TEST(GuiView, NewViewIsCleanMouseEnabledOpaqueAndHasBoundsAsMouseArea)
{
    GuiView* view = new GuiView(GuiRect(1, 2, 3, 4));
    EXPECT_FALSE(view->needsRedraw());
    EXPECT_TRUE(view->isMouseEnabled());
    EXPECT_FALSE(view->isTransparent());
    EXPECT_EQ(1, view->referenceCount());
    GuiRect area;
    view->getMouseArea(area);
    EXPECT_EQ(1, area.left);
    EXPECT_EQ(4, area.bottom);
    EXPECT_EQ(nullptr, view->getEditor());
    view->release();
}

TEST(GuiView, SetBoundsMarksRedrawEvenWhenUnchangedAndKeepsTheMouseArea)
{
    GuiView* view = new GuiView(GuiRect(0, 0, 10, 10));
    view->setMouseArea(GuiRect(2, 2, 5, 5));
    EXPECT_FALSE(view->needsRedraw());
    view->setBounds(GuiRect(0, 0, 10, 10));
    EXPECT_TRUE(view->needsRedraw());
    view->setNeedsRedraw(false);
    view->setBounds(GuiRect(5, 6, 7, 8));
    EXPECT_TRUE(view->needsRedraw());
    GuiRect r;
    EXPECT_EQ(6, view->getBounds(r).top);
    EXPECT_EQ(2, view->getMouseArea(r).left);
    view->release();
}

TEST(GuiView, RedrawIfNeededDrawsOnlyAMarkedViewAndClearsTheMark)
{
    int destroyed = 0;
    ProbeView* view = new ProbeView(GuiRect(0, 0, 5, 5), &destroyed);
    view->redrawIfNeeded(nullptr);
    EXPECT_EQ(0, view->draws);
    view->setNeedsRedraw(true);
    view->redrawIfNeeded(nullptr);
    EXPECT_EQ(1, view->draws);
    EXPECT_FALSE(view->needsRedraw());
    view->redrawIfNeeded(nullptr);
    EXPECT_EQ(1, view->draws);
    // A repaint draws the whole view whatever the area.
    view->drawArea(nullptr, GuiRect(100, 100, 101, 101));
    EXPECT_EQ(2, view->draws);
    view->release();
}

TEST(GuiView, LastReleaseDeletesAndSurplusReleasesDoNothing)
{
    int destroyed = 0;
    ProbeView* view = new ProbeView(GuiRect(0, 0, 5, 5), &destroyed);
    view->retain();
    EXPECT_EQ(2, view->referenceCount());
    view->release();
    EXPECT_EQ(0, destroyed);
    EXPECT_EQ(1, view->referenceCount());
    view->release();
    EXPECT_EQ(1, destroyed);
}

TEST(GuiView, ViewInAFrameReachesTheFramesEditor)
{
    int editor = 0;
    GuiFrame* frame = new GuiFrame(GuiRect(0, 0, 100, 100), nullptr, &editor);
    GuiView* view = new GuiView(GuiRect(1, 1, 2, 2));
    view->setFrame(frame);
    EXPECT_EQ(&editor, view->getEditor());
    view->release();
    frame->release();
}

TEST(GuiView, DefaultHandlersDeclineEverything)
{
    GuiView* view = new GuiView(GuiRect(0, 0, 5, 5));
    GuiPoint where(1, 1);
    EXPECT_EQ(0, view->notify(view, "LooseFocus"));
    EXPECT_FALSE(view->onDrop(nullptr, 0, 0, where));
    EXPECT_FALSE(view->onWheel(nullptr, where, 1.0f));
    EXPECT_TRUE(view->attached(nullptr));
    EXPECT_TRUE(view->detached(nullptr));
    view->release();
}

} // namespace
