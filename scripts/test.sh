#!/usr/bin/env bash
# Installs dependencies, builds everything with tests and runs them (CPU backend).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

build=${HALDEN_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON
cmake --build "$build" --parallel

# Formatting is part of keeping main green; the check needs clang-format, which CI machines have.
if command -v clang-format >/dev/null 2>&1; then
    git ls-files -z -- '*.h' '*.cpp' '*.cu' '*.cuh' | xargs -0 -r clang-format --dry-run -Werror
fi

# The gpu label needs a CUDA device; scripts/gpu-check.sh runs it where one exists.
ctest --test-dir "$build" --output-on-failure --label-exclude gpu --parallel "$(nproc)"
