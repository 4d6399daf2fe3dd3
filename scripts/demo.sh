#!/usr/bin/env bash
# Installs dependencies, builds Halden and runs its main demonstration.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

build=${HALDEN_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel --target halden-definition

# Until the renderer lands, the demonstration is the effect as the plug-in declares it.
"$build/tools/halden-definition"
