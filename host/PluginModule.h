#pragma once

#include "host/VstAbi.h"

// Library-wide state and the entry that creates instances. The library exports the entry
// under the name "main" (see ExportedMain.cpp); tests and in-process hosts call it as
// pluginMain.

// Asks the host's version (a host answering 0 gets nothing), creates one effect and answers
// its instance record; null when the effect or its editor could not be created.
AEffect* pluginMain(audioMasterCallback audioMaster);

// The module handle the system gave the library when it loaded it: the Windows module
// instance, or the library's load address elsewhere.
void* getModuleInstance();
void setModuleInstance(void* instance);

// Set when an effect could not create its editor. Never cleared: from then on every
// pluginMain call answers null.
bool isOutOfMemory();
void setOutOfMemory();
