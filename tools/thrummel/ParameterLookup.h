#pragma once

#include "tools/thrummel/Arguments.h"

#include <functional>
#include <string>
#include <vector>

class HostedPlugin;

// Finds the parameter a --set names: a whole number is an index, anything else is compared
// with the names the plug-in reports, ignoring case and surrounding blanks. Throws ToolError
// (ExitCode::kParameter) when nothing matches.
int findParameter(HostedPlugin& plugin, const std::string& name);

// The same among count parameters whose names nameOf answers; it asks only as far as it
// needs to.
int findParameter(int count, const std::function<std::string(int)>& nameOf, const std::string& name);

// Resolves every setting first, so that a bad one leaves the plug-in untouched, then sets
// them in the order given.
void applySettings(HostedPlugin& plugin, const std::vector<ParameterSetting>& settings);
