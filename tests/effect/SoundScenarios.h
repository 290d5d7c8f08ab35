#pragma once

#include "host/VstAbi.h"

#include <cstdint>
#include <string>
#include <vector>

// A fixed set of processing scenarios whose output bits must be the same on every target:
// random input, parameter settings within and beyond 0..1, blocks of varying size including
// empty ones, parameter changes between blocks, in-place and crossed buffers, and the
// accumulating entry. Each runs on a fresh thread (so the noise sequence starts at its
// beginning) with a fresh, switched-on instance from the given entry.
struct ScenarioDigest
{
    std::string name;
    std::uint64_t digest;
};

std::vector<ScenarioDigest> runSoundScenarios(PluginEntryProc entry);

// One "name hex-digest" line per scenario, as the digest file holds them.
std::string formatDigests(const std::vector<ScenarioDigest>& digests);
