// A minimal effect library for the host's tests. One source builds several libraries, each
// chosen by a definition: a working gain effect, and variants that are wrong in one way.
//
// The gain effect has two parameters: "Gain" (output = input × value) and "Polarity" (above
// 0.5 the output is inverted). It processes only through the accumulating entry when built
// as "gain", which also exercises the host's zeroing of the outputs.

#include "host/VstAbi.h"

#include <cstring>

namespace
{
float gGain = 1.0f; // the one instance's parameters: the tests open one at a time
float gPolarity = 0.0f;

VstIntPtr dispatcher(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void* ptr, float)
{
    static const char* const kNames[] = {"Gain", "Polarity"};
    switch (opcode)
    {
    case effGetParamName:
        if (index >= 0 && index < 2)
        {
            std::strcpy(static_cast<char*>(ptr), kNames[index]);
        }
        return 0;
    case effGetEffectName:
        std::strcpy(static_cast<char*>(ptr), "Fixture");
        return 1;
    case effGetPlugCategory:
#if defined(THR_FIXTURE_INSTRUMENT)
        return kPlugCategSynth;
#else
        return kPlugCategEffect;
#endif
    default:
        return 0;
    }
}

void setParameter(AEffect*, VstInt32 index, float value)
{
    if (index == 0)
    {
        gGain = value;
    }
    else if (index == 1)
    {
        gPolarity = value;
    }
}

float getParameter(AEffect*, VstInt32 index)
{
    return index == 0 ? gGain : index == 1 ? gPolarity : 0.0f;
}

void processAdding(AEffect*, float** inputs, float** outputs, VstInt32 frames)
{
    for (int channel = 0; channel < 2; ++channel)
    {
        for (VstInt32 i = 0; i < frames; ++i)
        {
            float sample = inputs[channel][i] * gGain;
            if (gPolarity > 0.5f)
            {
                sample = -sample;
            }
            outputs[channel][i] += sample;
        }
    }
}

AEffect makeRecord()
{
    AEffect record{};
    record.magic = kEffectMagic;
    record.dispatcher = dispatcher;
    record.process = processAdding;
    record.setParameter = setParameter;
    record.getParameter = getParameter;
    record.numPrograms = 1;
    record.numParams = 2;
    record.numInputs = 2;
    record.numOutputs = 2;
    record.uniqueID = 0x46697874;
    record.version = 1;
#if defined(THR_FIXTURE_ONEOUTPUT)
    record.numOutputs = 1;
#endif
#if defined(THR_FIXTURE_INSTRUMENT)
    record.flags = effFlagsIsSynth;
#endif
    return record;
}

AEffect gRecord = makeRecord(); // the single instance handed out
} // namespace

#if defined(THR_FIXTURE_NOMAIN)
// A library with an entry of another name: not a plug-in.
extern "C" __attribute__((visibility("default"))) AEffect* notMain(audioMasterCallback)
{
    return &gRecord;
}
#else
extern "C" __attribute__((visibility("default"))) AEffect*
fixtureMain(audioMasterCallback audioMaster) __asm__("main");

AEffect* fixtureMain(audioMasterCallback audioMaster)
{
#if defined(THR_FIXTURE_NOINSTANCE)
    (void)audioMaster;
    return nullptr;
#else
    if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
    {
        return nullptr;
    }
    return &gRecord;
#endif
}
#endif
