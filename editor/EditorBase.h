#pragma once

#include "host/VstAbi.h"

#include <atomic>

class EffectBase;

// What the dispatcher sees of an editor: one operation per editor request. The defaults
// describe an editor without a window; derived classes tie them to a frame.
//
// Threads: everything but requestRefresh runs on the host's user-interface thread;
// requestRefresh may come from whichever thread sets a parameter.
class EditorBase
{
public:
    explicit EditorBase(EffectBase* owner);

    // Slots 0 to 10.
    virtual ~EditorBase();
    // Stores a pointer to the editor's rectangle at `rect`; the base has none and answers 0.
    virtual VstInt32 getRect(ERect** rect);
    virtual VstInt32 open(void* parentWindow);
    virtual void close();
    virtual void idle();
    virtual void refresh();
    virtual void requestRefresh();
    // -1 tells the host that nobody used the key.
    virtual VstInt32 editKeyDown(VstKeyCode& key);
    virtual VstInt32 editKeyUp(VstKeyCode& key);
    virtual VstInt32 setEditKnobMode(VstInt32 mode);
    virtual bool mouseWheel(float distance);

    EffectBase* getEffect() const { return effect; }
    bool isUpdatePending() const { return updatePending.load(std::memory_order_relaxed) != 0; }

    EditorBase(const EditorBase&) = delete;
    EditorBase& operator=(const EditorBase&) = delete;

protected:
    EffectBase* effect;
    void* systemWindow = nullptr;
    // Written by requestRefresh from any thread, cleared by idle on the UI thread.
    std::atomic<VstInt32> updatePending{0};
};
