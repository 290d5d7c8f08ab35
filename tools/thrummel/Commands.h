#pragma once

struct Options;

// Each command returns the process exit status and throws ToolError for failures the user
// should hear about.
int runRender(const Options& options);
int runParams(const Options& options);

// The plug-in path the options ask for, or the plug-in this build made.
const char* defaultPluginPath();
