# cmake -DNM=<nm> -DOBJECTS=<objects> -P NoSharedWideCode.cmake
# The sample loops built for AVX2 and AVX-512 must define no weak symbol: the linker keeps one
# copy of each, and a copy compiled for AVX-512 serving every caller crashes machines without it.
foreach(object IN LISTS OBJECTS)
    execute_process(COMMAND ${NM} --defined-only -C ${object} OUTPUT_VARIABLE symbols
        RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${NM} failed on ${object}")
    endif()
    string(REGEX MATCHALL "[^\n]* [WVu] [^\n]*" shared "${symbols}")
    if(shared)
        string(REPLACE ";" "\n" shared "${shared}")
        message(FATAL_ERROR "${object} defines symbols other objects may take:\n${shared}")
    endif()
endforeach()
