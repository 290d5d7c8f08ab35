#pragma once

#include "host/EffectBase.h"

// The extensions of the interface up to version 2.3: a dispatcher for requests 25 to 76,
// the wrappers of the newer host services and the speaker-arrangement helpers. Adds no
// fields. Every answer below is a neutral default for effect classes that do not replace it.
class EffectBaseExt : public EffectBase
{
public:
    EffectBaseExt(audioMasterCallback audioMaster, VstInt32 programCount, VstInt32 paramCount);

    // Handles 25 to 76 and passes every other request to EffectBase's dispatcher.
    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

    // Slots 46 to 144.
    virtual EditorBase* getEditor();
    virtual VstInt32 wantMidi(VstInt32 filter);
    virtual void* getTimeInfo(VstInt32 filter);
    virtual VstInt32 tempoAt(VstInt32 position);
    virtual VstInt32 processEvents(void* events);
    virtual VstInt32 getNumAutomatableParameters();
    virtual VstInt32 getParameterQuantization();
    virtual bool canBeAutomated(VstInt32 index);
    virtual bool string2Parameter(VstInt32 index, char* text);
    virtual float getChannelParameter(VstInt32 channel, VstInt32 index);
    virtual VstInt32 getNumProgramCategories();
    virtual bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text);
    virtual bool copyProgram(VstInt32 destination);
    virtual bool ioChanged();
    virtual bool needIdle();
    virtual bool sizeWindow(VstInt32 width, VstInt32 height);
    // Asks the host and keeps its answer when it is above 0.
    virtual float fetchSampleRate();
    virtual VstInt32 fetchBlockSize();
    virtual VstInt32 getInputLatency();
    virtual VstInt32 getOutputLatency();
    virtual AEffect* getPreviousPlug(VstInt32 input);
    virtual AEffect* getNextPlug(VstInt32 output);
    virtual void connectInput(VstInt32 index, bool state);
    virtual void connectOutput(VstInt32 index, bool state);
    virtual bool getInputProperties(VstInt32 index, void* properties);
    virtual bool getOutputProperties(VstInt32 index, void* properties);
    virtual VstInt32 getPlugCategory();
    virtual VstInt32 willReplaceOrAccumulate();
    virtual VstInt32 getCurrentProcessLevel();
    virtual VstInt32 getAutomationState();
    virtual void setExtIsAsync(bool state);
    virtual void setExtHasBuffer(bool state);
    virtual VstInt32 getCurrentPosition();
    virtual float* getDestinationBuffer();
    virtual bool offlineRead(void* task, VstInt32 option, bool readSource);
    virtual bool offlineWrite(void* task, VstInt32 option);
    virtual bool offlineStart(void* files, VstInt32 count, VstInt32 newCount);
    virtual bool offlineGetCurrentPass();
    virtual bool offlineGetCurrentMetaPass();
    virtual bool offlineNotify(void* files, VstInt32 count, bool isStart);
    virtual bool offlinePrepare(void* tasks, VstInt32 count);
    virtual bool offlineRun(void* tasks, VstInt32 count);
    virtual VstInt32 offlineGetNumPasses();
    virtual VstInt32 offlineGetNumMetaPasses();
    virtual VstIntPtr setOutputSampleRate(float rate);
    virtual VstSpeakerArrangement* getHostInputArrangement();
    virtual VstSpeakerArrangement* getHostOutputArrangement();
    virtual bool getHostVendorString(char* text);
    virtual bool getHostProductString(char* text);
    virtual VstInt32 getHostVendorVersion();
    virtual VstIntPtr hostVendorSpecific(VstInt32 a, VstIntPtr b, void* p, float f);
    virtual bool canHostDo(char* text);
    virtual void setIsSynth(bool state);
    virtual void setNoSoundInStop(bool state);
    virtual VstInt32 getHostLanguage();
    virtual void* openHostWindow(void* window);
    virtual bool closeHostWindow(void* window);
    virtual void* getDirectory();
    virtual bool updateDisplay();
    virtual bool processVarIo(void* varIo);
    virtual bool setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output);
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output);
    virtual void setBlockSizeAndSampleRate(VstInt32 newBlockSize, float newSampleRate);
    virtual bool setBypass(bool state);
    virtual bool getEffectName(char* text);
    virtual bool getErrorText(char* text);
    virtual bool getVendorString(char* text);
    virtual bool getProductString(char* text);
    virtual VstInt32 getVendorVersion();
    virtual VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt);
    virtual VstInt32 canDo(char* text);
    virtual void* getIcon();
    virtual bool setViewPosition(VstInt32 x, VstInt32 y);
    virtual VstInt32 getTailSize();
    virtual VstInt32 effectIdle();
    virtual bool getParameterProperties(VstInt32 index, void* properties);
    // Inverted on the wire: effKeysRequired answers 1 when this answers false.
    virtual bool keysRequired();
    virtual VstInt32 getVstVersion();
    virtual VstInt32 getMidiProgramName(VstInt32 channel, void* name);
    virtual VstInt32 getCurrentMidiProgram(VstInt32 channel, void* current);
    virtual VstInt32 getMidiProgramCategory(VstInt32 channel, void* category);
    virtual bool hasMidiProgramsChanged(VstInt32 channel);
    virtual bool getMidiKeyName(VstInt32 channel, void* keyName);
    virtual bool beginSetProgram();
    virtual bool endSetProgram();
    // The start and end of a user gesture on parameter `index`.
    virtual bool beginEdit(VstInt32 index);
    virtual bool endEdit(VstInt32 index);
    virtual bool openFileSelector(void* selector);
    virtual VstInt32 setTotalSampleToProcess(VstInt32 value);
    virtual VstInt32 getNextShellPlugin(char* name);
    virtual VstInt32 startProcess();
    virtual VstInt32 stopProcess();
    virtual bool setPanLaw(VstInt32 type, float value);
    virtual VstInt32 beginLoadBank(void* bank);
    virtual VstInt32 beginLoadProgram(void* program);
    // Speaker-arrangement records live in blocks from malloc: 8 + 112 bytes per channel.
    virtual bool allocateArrangement(VstSpeakerArrangement** arrangement, VstInt32 channels);
    virtual bool deallocateArrangement(VstSpeakerArrangement** arrangement);
    virtual bool copySpeaker(VstSpeakerProperties* to, const VstSpeakerProperties* from);
    virtual bool matchArrangement(VstSpeakerArrangement** to, const VstSpeakerArrangement* from);
};
