#pragma once

#include "tests/support/AllocationProbe.h"
#include "tests/support/PluginLibrary.h"
#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

// Runs a suite once against the linked-in entry and once against the built library's
// exported main, with a recording host.
class EntryTest : public ::testing::TestWithParam<EntrySource>
{
public:
    static void SetUpTestSuite() { AllocationProbe::watch(builtLibrary().nativeHandle()); }

protected:
    PluginEntryProc entry() const { return entryFor(GetParam()); }

    TestHost host;
};

#define THR_INSTANTIATE_FOR_BOTH_ENTRIES(suite)                                                              \
    INSTANTIATE_TEST_SUITE_P(                                                                                \
        Entries, suite, ::testing::Values(EntrySource::InProcess, EntrySource::Library),                     \
        [](const ::testing::TestParamInfo<EntrySource>& info) { return toString(info.param); })
