#!/usr/bin/env bash
# Rewrites the reference pictures in tests/plugin/reference from the current plug-in on the CPU
# backend. Run it only when a change of the look is intended, and explain in the commit message
# why the pictures changed; the reference-picture test otherwise holds every render to them.
#   scripts/regenerate-reference-pictures.sh [build-folder]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
    echo "regenerate-reference-pictures: no build in $build; configure with -DBUILD_TESTING=ON" >&2
    exit 2
fi
cmake --build "$build" --target plugin_tests
HALDEN_BACKEND=cpu HALDEN_REGENERATE_REFERENCES=1 \
    "$build/tests/plugin/plugin_tests" --gtest_filter='ReferencePictures.*'
git status --short tests/plugin/reference
