# cmake -DNM=<nm> -DBINARY=<plug-in binary> "-DEXPORTS=<symbol;...>" [-DREADELF=<readelf>]
#       -P CheckBundleBinary.cmake
# A plug-in binary exports exactly the given symbols and, when READELF is given, needs nothing
# from the system beyond the C and C++ runtime.
# For a Windows DLL, -DOBJDUMP=<objdump> replaces NM and READELF: exactly the given exports, and
# imports from system DLLs only (the C++ runtime must be linked in).
cmake_minimum_required(VERSION 3.22)
set(expected ${EXPORTS})
list(SORT expected)

if(OBJDUMP)
    execute_process(COMMAND ${OBJDUMP} -p ${BINARY} OUTPUT_VARIABLE listing
        RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${OBJDUMP} failed on ${BINARY}")
    endif()
    # Names follow the export table's "[Ordinal/Name Pointer] Table" heading, one a line, as
    # "<tab>[   0] OfxGetPlugin". Brackets would change how CMake splits lists: keep only names.
    string(REGEX MATCH "Name Pointer\\] Table\n(\t[^\n]+\n)*" table "${listing}")
    string(REPLACE "Name Pointer] Table\n" "" table "${table}")
    string(REGEX REPLACE "\t\\[ *[0-9]+\\] ([^\n]+)\n" "\\1;" symbols "${table}")
    list(REMOVE_ITEM symbols "")
    list(SORT symbols)
    if(NOT "${symbols}" STREQUAL "${expected}")
        message(FATAL_ERROR "exported: ${symbols}; expected exactly: ${expected}")
    endif()
    string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${listing}")
    set(needed)
    foreach(entry IN LISTS imports)
        string(REGEX REPLACE "DLL Name: " "" library "${entry}")
        string(TOLOWER "${library}" name)
        # Windows' own libraries and C runtimes (msvcrt, or the UCRT and its API sets).
        if(NOT name MATCHES "^(kernel32|user32|advapi32|shell32|ole32|shlwapi|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\\.dll$")
            message(FATAL_ERROR "${BINARY} imports ${library}, which is not a system DLL")
        endif()
        list(APPEND needed ${library})
    endforeach()
    message(STATUS "exports: ${symbols}; imports: ${needed}")
    return()
endif()
execute_process(COMMAND ${NM} -D --defined-only ${BINARY}
    OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${BINARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
set(symbols)
foreach(line IN LISTS lines)
    string(REGEX REPLACE "^.* " "" symbol "${line}")
    list(APPEND symbols ${symbol})
endforeach()
list(SORT symbols)
if(NOT "${symbols}" STREQUAL "${expected}")
    message(FATAL_ERROR "exported: ${symbols}; expected exactly: ${expected}")
endif()

if(NOT READELF)
    message(STATUS "exports: ${symbols}")
    return()
endif()
execute_process(COMMAND ${READELF} -d ${BINARY} OUTPUT_VARIABLE dynamic RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${READELF} failed on ${BINARY}")
endif()
string(REGEX MATCHALL "Shared library: \\[[^]]+\\]" needed "${dynamic}")
set(allowed libstdc++.so.6 libm.so.6 libc.so.6 libgcc_s.so.1 ld-linux-x86-64.so.2 libdl.so.2
    libpthread.so.0 librt.so.1)
foreach(entry IN LISTS needed)
    string(REGEX REPLACE "Shared library: \\[([^]]+)\\]" "\\1" library "${entry}")
    if(NOT library IN_LIST allowed)
        message(FATAL_ERROR "${BINARY} needs ${library}, which is not part of the C/C++ runtime")
    endif()
endforeach()
message(STATUS "exports: ${symbols}; needs: ${needed}")
