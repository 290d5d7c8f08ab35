#!/usr/bin/env bash
# Installs what is missing, builds every target and runs every test:
#   linux       the native x86_64 plug-in, its tools and tests
#   linux32     the 32-bit (-m32) build of the plug-in with its tests
#   win32       the 32-bit Windows DLL (MinGW), tests under Wine
#   win64       the 64-bit Windows DLL (MinGW), tests under Wine
#   linux-asan  every Linux test under AddressSanitizer and UndefinedBehaviorSanitizer
#   linux-tsan  the programs that drive the plug-in under ThreadSanitizer
#   fuzz        each fuzz target for 60 s from its committed corpus (scripts/fuzz.sh)
# Pass names to run only those, e.g. scripts/test-all.sh linux win32.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/install-deps.sh

presets=("$@")
if [ ${#presets[@]} -eq 0 ]; then
    presets=(linux linux32 win32 win64 linux-asan linux-tsan fuzz)
fi
jobs=$(nproc)

failed=()
for preset in "${presets[@]}"; do
    if [ "$preset" = fuzz ]; then
        if ! scripts/fuzz.sh 60; then
            failed+=("$preset")
        fi
        continue
    fi
    echo "=== $preset: configure and build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    echo "=== $preset: test"
    if ! ctest --preset "$preset" -j "$jobs"; then
        failed+=("$preset")
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "Tests failed in: ${failed[*]}" >&2
    exit 1
fi
echo "All tests passed in: ${presets[*]}"
