#!/usr/bin/env bash
# Builds what the Windows x64 cross build links, from Debian's own sources, into one prefix that
# cmake/mingw-w64-x86_64.cmake searches. Safe to run again: a part already built from the same
# Debian version is skipped.
#   pugixml, Imath, OpenEXR, libpng, libjpeg-turbo   static, each from the source package of
#               the -dev package installed here (apt-get source), so both builds read files alike
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

# Says what is built now and starts its clock; CI builds everything on each run.
building() {
    echo "deps-windows: $*"
    started=$SECONDS
}

markBuilt() {
    mkdir -p "$stamps"
    printf '%s\n' "$2" >"$stamps/$1"
    echo "deps-windows: $1 took $((SECONDS - started)) s"
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

aptOptions=()

# The Debian source package that built the installed binary package $1, unpacked: sets
# $source to its folder. apt-get source wants the source's own name and version, which a
# binNMU's binary version differs from.
fetchSource() {
    local package=$1 name wanted folder candidate
    wanted=$(dpkg-query -W -f='${source:Version}' "$package" 2>/dev/null || true)
    [ -n "$wanted" ] || { echo "deps-windows: $package is not installed" >&2; exit 1; }
    name=$(dpkg-query -W -f='${source:Package}' "$package")
    if [ ${#aptOptions[@]} -eq 0 ]; then
        mapfile -t aptOptions < <(aptSourceOptions)
        apt-get "${aptOptions[@]}" update -qq
    fi
    folder=$work/source/$name
    mkdir -p "$folder"
    # apt downloads as its own unprivileged user when it can.
    if [ "$(id -u)" -eq 0 ] && id _apt >/dev/null 2>&1; then
        chown _apt "$work/source" "$folder"
    fi
    # Mirrors keep only the newest revisions: when the installed one is gone, the newest
    # revision of the same upstream version that still downloads stands in for it.
    for candidate in "$wanted" $(otherRevisions "$name" "$wanted"); do
        if (cd "$folder" && apt-get "${aptOptions[@]}" source -qq "$name=$candidate" \
            >/dev/null 2>"$work/apt-source.log"); then
            [ "$candidate" = "$wanted" ] ||
                echo "deps-windows: $name $wanted cannot be fetched; building $candidate" >&2
            source=$(find "$folder" -mindepth 1 -maxdepth 1 -type d | head -n 1)
            return
        fi
    done
    cat "$work/apt-source.log" >&2
    echo "deps-windows: no source of $name $wanted, nor of another revision of it" >&2
    exit 1
}

# The other revisions of source package $1 with the upstream version of $2, newest first.
otherRevisions() {
    local name=$1 wanted=$2 version i
    local newestFirst=()
    while read -r version; do
        if [ "$version" = "$wanted" ] || [ "${version%-*}" != "${wanted%-*}" ]; then
            continue
        fi
        i=0
        while [ $i -lt ${#newestFirst[@]} ] &&
            dpkg --compare-versions "${newestFirst[i]}" gt "$version"; do
            i=$((i + 1))
        done
        newestFirst=("${newestFirst[@]:0:i}" "$version" "${newestFirst[@]:i}")
    done < <(apt-cache "${aptOptions[@]}" showsrc "$name" 2>/dev/null |
        sed -n 's/^Version: //p' | sort -u)
    printf '%s\n' "${newestFirst[@]}"
}

version=$(installedVersion libpugixml-dev)
if ! upToDate pugixml "$version"; then
    building "pugixml $version from its Debian source package"
    fetchSource libpugixml-dev
    crossBuild "$source" "$work/pugixml-build" -DPUGIXML_BUILD_TESTS=OFF
    markBuilt pugixml "$version"
fi

version=$(installedVersion googletest)
if ! upToDate googletest "$version"; then
    [ -d /usr/src/googletest ] || { echo "deps-windows: googletest is not installed" >&2; exit 1; }
    building "GoogleTest $version from /usr/src/googletest"
    crossBuild /usr/src/googletest "$work/googletest-build" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
    markBuilt googletest "$version"
fi

version=$(installedVersion libimath-dev)
if ! upToDate imath "$version"; then
    building "Imath $version from its Debian source package"
    fetchSource libimath-dev
    crossBuild "$source" "$work/imath-build" -DBUILD_TESTING=OFF -DPYTHON=OFF -DDOCS=OFF
    markBuilt imath "$version"
fi

# Only the libraries. Imath (above) and zlib must be found: OpenEXR would otherwise download
# its own.
version=$(installedVersion libopenexr-dev)
if ! upToDate openexr "$version"; then
    building "OpenEXR $version from its Debian source package"
    fetchSource libopenexr-dev
    crossBuild "$source" "$work/openexr-build" -DBUILD_TESTING=OFF -DDOCS=OFF \
        -DOPENEXR_BUILD_TOOLS=OFF -DOPENEXR_INSTALL_TOOLS=OFF -DOPENEXR_INSTALL_EXAMPLES=OFF \
        -DCMAKE_REQUIRE_FIND_PACKAGE_Imath=ON -DCMAKE_REQUIRE_FIND_PACKAGE_ZLIB=ON
    markBuilt openexr "$version"
fi

# Static only, so FindPNG cannot pick a DLL's import library.
version=$(installedVersion libpng-dev)
if ! upToDate png "$version"; then
    building "libpng $version from its Debian source package"
    fetchSource libpng-dev
    crossBuild "$source" "$work/png-build" -DPNG_SHARED=OFF -DPNG_STATIC=ON \
        -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF -DSKIP_INSTALL_FILES=ON
    markBuilt png "$version"
fi

# Static only, as libpng; the jpeg62 API without TurboJPEG. No SIMD: that needs nasm.
version=$(installedVersion libjpeg62-turbo-dev)
if ! upToDate jpeg "$version"; then
    building "libjpeg-turbo $version from its Debian source package"
    fetchSource libjpeg62-turbo-dev
    crossBuild "$source" "$work/jpeg-build" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
        -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF -DWITH_JPEG8=OFF -DWITH_JPEG7=OFF
    markBuilt jpeg "$version"
fi

# Header-only: the Debian headers themselves, so both builds compile the same code.
ln -sfn /usr/include/tinyexr.h "$prefix/include/tinyexr.h"
ln -sfn /usr/include/stb "$prefix/include/stb"
