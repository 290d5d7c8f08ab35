#include "editor/EditorBase.h"

EditorBase::EditorBase(EffectBase* owner)
    : effect(owner)
{
}

EditorBase::~EditorBase() = default;

VstInt32 EditorBase::getRect(ERect** rect)
{
    if (rect)
    {
        *rect = nullptr;
    }
    return 0;
}

VstInt32 EditorBase::open(void* parentWindow)
{
    systemWindow = parentWindow;
    return 0;
}

void EditorBase::close()
{
}

void EditorBase::idle()
{
    if (updatePending.exchange(0, std::memory_order_relaxed) != 0)
    {
        refresh();
    }
}

void EditorBase::refresh()
{
}

void EditorBase::requestRefresh()
{
    updatePending.store(1, std::memory_order_relaxed);
}

VstInt32 EditorBase::editKeyDown(VstKeyCode&)
{
    return -1;
}

VstInt32 EditorBase::editKeyUp(VstKeyCode&)
{
    return -1;
}

VstInt32 EditorBase::setEditKnobMode(VstInt32)
{
    return 0;
}

bool EditorBase::mouseWheel(float)
{
    return false;
}
