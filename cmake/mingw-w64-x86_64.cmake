# Windows x64 cross build with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix):
#   scripts/deps-windows.sh
#   cmake -S . -B build-win -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake -DHALDEN_CUDA=OFF
#
# The posix-thread variant of the compiler is used so std::thread and std::mutex work; the
# C++ runtime, libgcc and winpthread are linked statically, so the plug-in and halden-render
# need nothing beyond the system DLLs. Only the CPU backend is built here. The plug-in DLL
# exports what the Linux library exports: OfxGetNumberOfPlugins, OfxGetPlugin, OfxSetHost, the
# pass functions call_halden_v01_kernel_Pass and call_post_blur_kernel_Pass, and the emulated
# device allocator haldenEmuDeviceMalloc/Free/Copy, haldenEmuLiveObjects, haldenEmuAllocations,
# haldenEmuMemoryInUse, haldenEmuInjectFailure and haldenEmuSetDevice (tests/windows
# checks the list and the imports).
#
# The CUDA backend on Windows needs nvcc, which only works with MSVC: build natively there, e.g.
#   cmake -S . -B build -G "Visual Studio 17 2022" -A x64 -DHALDEN_CUDA=ON
#         -DCMAKE_PREFIX_PATH=<pugixml, zlib, OpenEXR, libpng, libjpeg and GoogleTest for MSVC>
# not with this file.
#
# HALDEN_MINGW_DEPS (cache or environment) is the prefix scripts/deps-windows.sh fills with
# static pugixml, Imath, OpenEXR, libpng, libjpeg-turbo and GoogleTest and the header-only
# libraries; default /usr/local/x86_64-w64-mingw32.
# Programs built here run through scripts/wine-run.sh when Wine is installed, so build steps
# that run our own tools (the help page) and ctest work on Linux.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(HALDEN_MINGW_TRIPLE x86_64-w64-mingw32)

find_program(CMAKE_C_COMPILER NAMES ${HALDEN_MINGW_TRIPLE}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${HALDEN_MINGW_TRIPLE}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${HALDEN_MINGW_TRIPLE}-windres)

if(NOT HALDEN_MINGW_DEPS)
    if(DEFINED ENV{HALDEN_MINGW_DEPS})
        set(HALDEN_MINGW_DEPS $ENV{HALDEN_MINGW_DEPS})
    else()
        set(HALDEN_MINGW_DEPS /usr/local/${HALDEN_MINGW_TRIPLE})
    endif()
endif()
set(HALDEN_MINGW_DEPS ${HALDEN_MINGW_DEPS} CACHE PATH "Prefix of the Windows build's libraries")
# try_compile projects read this file again without the cache.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES HALDEN_MINGW_DEPS)

# Libraries and headers only from the target's roots (Debian's mingw-w64 packages and ours),
# build tools from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${HALDEN_MINGW_TRIPLE} ${HALDEN_MINGW_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# tinyexr and stb are header-only and included without a target; their headers are linked
# into the prefix.
set(CMAKE_C_STANDARD_INCLUDE_DIRECTORIES ${HALDEN_MINGW_DEPS}/include)
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${HALDEN_MINGW_DEPS}/include)

# libz-mingw-w64-dev has zlib's DLL import library beside its archive, and FindZLIB, which
# OpenEXR's config and FindPNG call too, would take the import library: zlib1.dll is no
# system DLL.
set(ZLIB_USE_STATIC_LIBS ON)

# -static makes the linker take libstdc++, libgcc and winpthread from their archives; system
# DLLs have only import libraries, so they are still imported.
foreach(kind EXE SHARED MODULE)
    set(CMAKE_${kind}_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
endforeach()

# Each build folder has its own Wine prefix (HALDEN_WINE_PREFIX), so tests start from a fresh
# Windows user profile and can look at the files a program left in it.
find_program(HALDEN_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(HALDEN_WINE)
    get_filename_component(_halden_wine_run ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh
                           ABSOLUTE)
    set(HALDEN_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${_halden_wine_run} --prefix ${HALDEN_WINE_PREFIX})
elseif(NOT CMAKE_IN_TRY_COMPILE)
    message(WARNING "No Wine (wine64): the bundle's help page is written by a program built here, "
                    "so the plug-in cannot be built; scripts/deps.sh installs wine64")
endif()
