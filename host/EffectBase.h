#pragma once

#include "host/VstAbi.h"

class EditorBase;

// The base of every effect object: owns the instance record handed to the host, turns the
// host's requests 0 to 24 into calls of its virtual operations, and wraps the first group
// of host services. The virtual operations are declared in a fixed order (their slots);
// derived classes keep it and append.
//
// Threads: the host calls the dispatcher on its user-interface thread; setParameter may
// come from any thread; process and processReplacing run on the audio thread.
class EffectBase
{
public:
    EffectBase(audioMasterCallback audioMaster, VstInt32 programCount, VstInt32 paramCount);

    // Slots 0 to 45.
    virtual ~EffectBase();
    virtual void setParameter(VstInt32 index, float value);
    virtual float getParameter(VstInt32 index);
    // Stores the value through setParameter, then tells the host so it records the change.
    virtual void automateParameter(VstInt32 index, float value);
    virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
    virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames);
    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    virtual void open();
    virtual void close();
    virtual VstInt32 getProgram();
    virtual void setProgram(VstInt32 program);
    virtual void setProgramName(char* name);
    virtual void getProgramName(char* name);
    virtual void getParamLabel(VstInt32 index, char* label);
    virtual void getParamDisplay(VstInt32 index, char* text);
    virtual void getParamName(VstInt32 index, char* text);
    virtual float getVu();
    virtual VstInt32 getChunk(void** data, bool isPreset);
    virtual VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset);
    virtual void setSampleRate(float newSampleRate);
    virtual void setBlockSize(VstInt32 newBlockSize);
    virtual void suspend();
    virtual void resume();
    virtual void setUniqueID(VstInt32 id);
    virtual void setNumInputs(VstInt32 inputs);
    virtual void setNumOutputs(VstInt32 outputs);
    virtual void setHasVu(bool state);
    virtual void setHasClip(bool state);
    virtual void setCanMono(bool state);
    virtual void setCanReplacing(bool state);
    virtual void setProgramChunks(bool state);
    virtual void setRealQualities(VstInt32 qualities);
    virtual void setOffQualities(VstInt32 qualities);
    virtual void setInitialDelay(VstInt32 delay);
    virtual float getSampleRate();
    virtual VstInt32 getBlockSize();
    // The host's interface version; 1 when the host answers 0 or there is no host.
    virtual VstInt32 getHostVersion();
    virtual VstInt32 getHostCurrentId();
    virtual void hostIdle();
    // True when the host answers 0 (the interface's "connected"), and without a host.
    virtual bool isInputPinConnected(VstInt32 input);
    virtual bool isOutputPinConnected(VstInt32 output);
    virtual void dbToText(float value, char* text);
    virtual void hzToText(float samples, char* text);
    virtual void msToText(float samples, char* text);
    virtual void floatToText(float value, char* text);
    virtual void longToText(VstInt32 value, char* text);

    // Stores the editor (owned from now on) and sets or clears effFlagsHasEditor.
    void attachEditor(EditorBase* newEditor);
    AEffect* getRecord() { return &record; }

    EffectBase(const EffectBase&) = delete;
    EffectBase& operator=(const EffectBase&) = delete;

protected:
    // Sends one request to the host; answers 0 without sending when there is no callback.
    VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    void setFlag(VstInt32 bit, bool state);

    float sampleRate;
    EditorBase* editor;
    audioMasterCallback audioMaster;
    VstInt32 programCount;
    VstInt32 paramCount;
    VstInt32 currentProgram;
    VstInt32 blockSize;
    AEffect record;
};
