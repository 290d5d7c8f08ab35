#include "editor/CrusherEditor.h"

#include "host/EffectBase.h"

CrusherEditor::CrusherEditor(EffectBase* owner)
    : EditorBase(owner)
{
    owner->attachEditor(this);
}

void CrusherEditor::parameterChanged(VstInt32, float)
{
    requestRefresh();
}
