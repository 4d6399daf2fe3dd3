#!/usr/bin/env bash
# Installs dependencies, builds the plug-in and halden-render, and renders the built-in demo
# scene through the plug-in with its default settings. Prints where the picture is.
set -euo pipefail
cd "$(dirname "$0")/.."

# The demo needs no Windows cross build.
HALDEN_WINDOWS=${HALDEN_WINDOWS:-OFF} scripts/deps.sh

build=${HALDEN_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel --target halden_v01 halden-render

"$build/host/cli/halden-render" -o "${1:-halden-demo.png}"
