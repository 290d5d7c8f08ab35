// Prints the digests of the sound scenarios, run through the built plug-in library, in the
// format of SoundDigests.txt. Regenerate that file with the 64-bit Linux build only after a
// deliberate change of the sound:
//   build/linux/tests/effect/thr_sound_digests > tests/effect/SoundDigests.txt
#include "tests/effect/SoundScenarios.h"
#include "tests/support/TestHost.h"

#include <cstdio>

int main()
{
    TestHost host;
    std::fputs(formatDigests(runSoundScenarios(entryFor(EntrySource::Library))).c_str(), stdout);
    return 0;
}
