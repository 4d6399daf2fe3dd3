#!/usr/bin/env bash
# Builds what the Windows x64 cross build links, from Debian's own sources, into one prefix that
# cmake/mingw-w64-x86_64.cmake searches. Safe to run again: a part already built from the same
# Debian version is skipped.
#   pugixml     the source package of the libpugixml-dev installed here (apt-get source)
#   GoogleTest  the sources Debian's googletest package installs under /usr/src
#   tinyexr, stb  header-only: their Debian headers are linked into the prefix
# zlib comes ready-built from libz-mingw-w64-dev (scripts/deps.sh installs it).
#
#   scripts/deps-windows.sh [prefix]   default: $HALDEN_MINGW_DEPS or /usr/local/x86_64-w64-mingw32
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

prefix=${1:-${HALDEN_MINGW_DEPS:-/usr/local/x86_64-w64-mingw32}}
toolchain=$root/cmake/mingw-w64-x86_64.cmake
stamps=$prefix/share/halden-deps

installedVersion() {
    dpkg-query -W -f='${Version}' "$1" 2>/dev/null || true
}

# True when part $1 was built from Debian version $2.
upToDate() {
    [ -n "$2" ] && [ "$(cat "$stamps/$1" 2>/dev/null)" = "$2" ]
}

markBuilt() {
    mkdir -p "$stamps"
    printf '%s\n' "$2" >"$stamps/$1"
}

# cmake configure, build and install of the source tree $1 for Windows, with extra options.
crossBuild() {
    local source=$1 build=$2
    shift 2
    cmake -S "$source" -B "$build" -G Ninja --toolchain "$toolchain" \
        -DHALDEN_MINGW_DEPS="$prefix" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF "$@" >/dev/null
    cmake --build "$build" --parallel
    cmake --install "$build" >/dev/null
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir -p "$prefix/include"

# The apt sources of this machine with deb-src instead of deb, with private list and cache
# folders, so the system's own sources, package lists and caches stay as they are.
aptSourceOptions() {
    local sources=$work/apt/sources.list.d
    mkdir -p "$sources" "$work/apt/lists/partial"
    local list
    for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$list" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$list" \
            >>"$sources/halden-src.list"
    done
    for list in /etc/apt/sources.list.d/*.sources; do
        [ -f "$list" ] && sed 's/^Types:.*$/Types: deb-src/' "$list" >"$sources/$(basename "$list")"
    done
    mkdir -p "$work/apt/cache/archives/partial"
    printf '%s\n' -o "Dir::Etc::SourceList=$sources/halden-src.list" \
        -o "Dir::Etc::SourceParts=$sources" -o "Dir::State::Lists=$work/apt/lists" \
        -o "Dir::Cache=$work/apt/cache"
}

version=$(installedVersion libpugixml-dev)
if ! upToDate pugixml "$version"; then
    [ -n "$version" ] || { echo "deps-windows: libpugixml-dev is not installed" >&2; exit 1; }
    echo "deps-windows: pugixml $version from its Debian source package"
    mapfile -t options < <(aptSourceOptions)
    apt-get "${options[@]}" update -qq
    mkdir -p "$work/source"
    # apt downloads as its own unprivileged user when it can.
    if [ "$(id -u)" -eq 0 ] && id _apt >/dev/null 2>&1; then
        chown _apt "$work/source"
    fi
    (cd "$work/source" && apt-get "${options[@]}" source -qq "pugixml=$version" >/dev/null)
    source=$(find "$work/source" -mindepth 1 -maxdepth 1 -type d -name 'pugixml-*' | head -n 1)
    crossBuild "$source" "$work/pugixml-build" -DPUGIXML_BUILD_TESTS=OFF
    markBuilt pugixml "$version"
fi

version=$(installedVersion googletest)
if ! upToDate googletest "$version"; then
    [ -d /usr/src/googletest ] || { echo "deps-windows: googletest is not installed" >&2; exit 1; }
    echo "deps-windows: GoogleTest $version from /usr/src/googletest"
    crossBuild /usr/src/googletest "$work/googletest-build" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
    markBuilt googletest "$version"
fi

# Header-only: the Debian headers themselves, so both builds compile the same code.
ln -sfn /usr/include/tinyexr.h "$prefix/include/tinyexr.h"
ln -sfn /usr/include/stb "$prefix/include/stb"
