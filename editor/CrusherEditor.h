#pragma once

#include "editor/EditorBase.h"

// The plug-in's editor. For now it has no window: it registers with its effect (so hosts
// see an editor) and answers every editor request with the base defaults.
class CrusherEditor : public EditorBase
{
public:
    explicit CrusherEditor(EffectBase* owner);

    // Called by the effect for every parameter change, from whichever thread set it.
    virtual void parameterChanged(VstInt32 index, float value);
};
