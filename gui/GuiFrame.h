#pragma once

#include "gui/GuiView.h"

// The view that owns the native window and holds the other views. This is the part of it
// the drawing contexts rely on: its bounds, its window, its editor, and the idle work that
// a tracking loop lets run. Window creation, view management and event dispatch build on
// it.
class GuiFrame : public GuiView
{
public:
    GuiFrame(const GuiRect& newBounds, void* newNativeWindow, void* newEditor);

    // Runs the editor's idle processing; tracking loops call it on every pass so the
    // window keeps painting while the mouse is held. The frame itself has none yet.
    virtual void runIdleTasks();

    void* getEditor() override { return editor; }
    void* getNativeWindow() const { return nativeWindow; }

protected:
    void* nativeWindow;
    void* editor;
};
