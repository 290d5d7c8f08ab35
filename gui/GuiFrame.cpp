#include "gui/GuiFrame.h"

GuiFrame::GuiFrame(const GuiRect& newBounds, void* newNativeWindow, void* newEditor)
    : GuiView(newBounds)
    , nativeWindow(newNativeWindow)
    , editor(newEditor)
{
}

void GuiFrame::runIdleTasks()
{
}
