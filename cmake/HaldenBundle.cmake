# halden_add_ofx_bundle(<target> <bundle name> [EXPORTS <symbol>...])
#
# Turns a MODULE library target into an OFX plug-in binary laid out as a bundle:
#   ${CMAKE_BINARY_DIR}/bundles/<bundle name>.ofx.bundle/Contents/<arch>/<bundle name>.ofx
# with <arch> Linux-x86-64 (Linux-<processor> elsewhere on Linux) or Win64. Symbols are hidden
# by default; on Linux a version script exports only the OFX entry points and the EXPORTS
# listed, on Windows only what is marked __declspec(dllexport) (OfxExport and the EXPORTS
# listed, which are linked in even when nothing in the module calls them) is exported.
# Sets <target>_BUNDLE_DIR in the caller's scope.
function(halden_add_ofx_bundle target bundle_name)
    cmake_parse_arguments(B "" "" "EXPORTS" ${ARGN})

    if(WIN32)
        set(arch Win64)
    elseif(APPLE)
        set(arch MacOS)
    elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
        set(arch Linux-x86-64)
    else()
        set(arch Linux-${CMAKE_SYSTEM_PROCESSOR})
    endif()
    set(bundle_dir ${CMAKE_BINARY_DIR}/bundles/${bundle_name}.ofx.bundle)
    set(binary_dir ${bundle_dir}/Contents/${arch})

    # $<1:...> keeps multi-config generators from appending a per-configuration folder.
    set_target_properties(${target} PROPERTIES
        PREFIX ""
        SUFFIX ".ofx"
        OUTPUT_NAME ${bundle_name}
        LIBRARY_OUTPUT_DIRECTORY $<1:${binary_dir}>
        RUNTIME_OUTPUT_DIRECTORY $<1:${binary_dir}>
        C_VISIBILITY_PRESET hidden
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)

    if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
        set(symbols OfxGetNumberOfPlugins OfxGetPlugin OfxSetHost ${B_EXPORTS})
        set(script "{\n  global:\n")
        foreach(symbol IN LISTS symbols)
            string(APPEND script "    ${symbol};\n")
        endforeach()
        string(APPEND script "  local:\n    *;\n};\n")
        set(map_file ${CMAKE_CURRENT_BINARY_DIR}/${target}.exports.map)
        file(WRITE ${map_file} "${script}")
        target_link_options(${target} PRIVATE "LINKER:--version-script=${map_file}")
        set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${map_file})
        if(HALDEN_PORTABLE_LINUX)
            halden_portable_linux_module(${target})
        endif()
        # A module with unresolved symbols would only fail when a host loads it; sanitizer
        # runtimes are resolved by the executable, so the check stays off with them.
        if(NOT HALDEN_SANITIZE OR HALDEN_SANITIZE STREQUAL "OFF")
            target_link_options(${target} PRIVATE "LINKER:--no-undefined")
        endif()
    endif()

    if(WIN32)
        # dllexport only exports what is linked in: an entry point that nothing inside the
        # module calls would stay in its static library.
        foreach(symbol IN ITEMS OfxGetNumberOfPlugins OfxGetPlugin OfxSetHost ${B_EXPORTS})
            if(MSVC)
                target_link_options(${target} PRIVATE "LINKER:/INCLUDE:${symbol}")
            else()
                target_link_options(${target} PRIVATE "LINKER:--undefined=${symbol}")
            endif()
        endforeach()
    endif()

    set(${target}_BUNDLE_DIR ${bundle_dir} PARENT_SCOPE)
endfunction()

# A module that loads on glibc 2.28 and needs no C++ runtime from the system: libstdc++ and
# libgcc are linked in (the version script hides them), and each glibc function whose newest
# version is above 2.28 is sent to its old version by GlibcBaseline.cpp, which names them.
# libpthread, libdl and librt are needed by name because before glibc 2.34 those functions
# lived there.
function(halden_portable_linux_module target)
    set(shim ${PROJECT_SOURCE_DIR}/src/platform/GlibcBaseline.cpp)
    target_sources(${target} PRIVATE ${shim})
    file(STRINGS ${shim} lines REGEX "^HALDEN_OLD_VERSION\\(|__wrap_[A-Za-z0-9_]+\\(")
    set(wrapped)
    foreach(line IN LISTS lines)
        if(line MATCHES "^HALDEN_OLD_VERSION\\(([A-Za-z0-9_]+),")
            list(APPEND wrapped ${CMAKE_MATCH_1})
        elseif(line MATCHES "__wrap_([A-Za-z0-9_]+)\\(")
            list(APPEND wrapped ${CMAKE_MATCH_1})
        endif()
    endforeach()
    foreach(symbol IN LISTS wrapped)
        target_link_options(${target} PRIVATE "LINKER:--wrap=${symbol}")
    endforeach()
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc
        "LINKER:--push-state,--no-as-needed" -l:libpthread.so.0 -l:libdl.so.2 -l:librt.so.1
        "LINKER:--pop-state")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${shim})
endfunction()
