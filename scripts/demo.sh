#!/usr/bin/env bash
# Installs what is missing, builds the Linux plug-in and the command-line host, renders the
# built-in drum loop through the effect with settings that make it plainly audible, and
# lists the plug-in's parameters.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/install-deps.sh

cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target thrummelgrinder thrummel

out=build/linux/drum-loop-crushed.wav
build/linux/bin/thrummel render "$out" \
    --set "Filter Type=0.6" --set Cutoff=0.4 --set Rezonance=0.6 \
    --set Distortion=0.6 --set Quantization=0.3 --set "Noise Level=0.15"
build/linux/bin/thrummel params
echo
echo "The plug-in:   build/linux/plugin/thrummelgrinder.so"
echo "The rendering: $out (the built-in drum loop through Thrummelgrinder)"
