# cmake -DNM=<nm> -DREADELF=<readelf> -DBINARY=<plug-in binary> -P CheckBundleBinary.cmake
cmake_minimum_required(VERSION 3.22)
# The shipped binary exports the OFX entry points and the documented C functions only, and
# needs nothing from the system beyond the C and C++ runtime.
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
set(expected OfxGetNumberOfPlugins OfxGetPlugin OfxSetHost call_halden_v01_kernel_Pass
    call_post_blur_kernel_Pass haldenEmuDeviceCopy haldenEmuDeviceFree haldenEmuDeviceMalloc
    haldenEmuLiveObjects)
list(SORT expected)
if(NOT symbols STREQUAL expected)
    message(FATAL_ERROR "exported: ${symbols}; expected exactly: ${expected}")
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
