#!/usr/bin/env bash
# Installs the Debian packages Halden builds and tests with. Safe to run again.
# With HALDEN_WINDOWS=ON (the default) it also installs the Windows x64 cross build's tools,
# mingw-w64 and Wine, and builds that build's libraries (scripts/deps-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake ninja-build g++ pkg-config
    libpugixml-dev libtinyexr-dev zlib1g-dev libstb-dev
    libopenexr-dev libpng-dev libjpeg62-turbo-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libosmesa6
)
windows=${HALDEN_WINDOWS:-ON}
if [ "$windows" = "ON" ]; then
    # The cross compiler with posix threads, zlib for it, Wine to run the result, and what
    # scripts/deps-windows.sh builds from: the source packages of the -dev packages above
    # (apt-get source needs dpkg-dev), GoogleTest's sources.
    packages+=(
        g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64
        dpkg-dev googletest
    )
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    echo "deps: installing ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi

if [ "$windows" = "ON" ]; then
    scripts/deps-windows.sh
fi
