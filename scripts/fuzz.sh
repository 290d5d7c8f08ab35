#!/usr/bin/env bash
# Builds the fuzz targets with clang, AddressSanitizer and UBSan (the linux-fuzz preset) and
# runs each for a bounded time from its committed seed corpus:
#   scripts/fuzz.sh [SECONDS]    SECONDS per target, 60 unless given
# The corpus is copied to a scratch folder first, so that what a run adds stays out of the
# tree. A crash, a sanitizer report, a hang, running out of memory or a broken check in a
# target fails the script; the input that found it is kept in build/linux-fuzz/findings/ and
# replays with build/linux-fuzz/tests/fuzz/thr_fuzz_TARGET FILE.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds="${1:-60}"
targets=(dispatcher thrummel)

cmake --preset linux-fuzz >/dev/null
cmake --build --preset linux-fuzz -j "$(nproc)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
findings=build/linux-fuzz/findings
mkdir -p "$findings"
export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer
export UBSAN_OPTIONS=print_stacktrace=1

failed=()
for target in "${targets[@]}"; do
    echo "=== fuzz: $target for $seconds s"
    cp -r "tests/fuzz/corpus/$target" "$scratch/$target"
    log="$scratch/$target.log"
    # -timeout: one input running longer than this is a hang. -rss_limit_mb also caps any
    # single allocation (libFuzzer's malloc limit defaults to it).
    if build/linux-fuzz/tests/fuzz/"thr_fuzz_$target" "$scratch/$target" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
        -artifact_prefix="$findings/$target-" -print_final_stats=1 >"$log" 2>&1; then
        grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
    else
        failed+=("$target")
        tail -n 60 "$log"
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "Fuzzing found faults in: ${failed[*]} (inputs in $findings/)" >&2
    exit 1
fi
echo "Fuzzing found nothing in: ${targets[*]}"
