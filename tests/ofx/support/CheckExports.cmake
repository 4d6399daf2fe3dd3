# cmake -DNM=<nm> -DBINARY=<plug-in binary> -P CheckExports.cmake
# Fails unless the binary's dynamic symbol table defines exactly the OFX entry points.
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
set(expected OfxGetNumberOfPlugins OfxGetPlugin OfxSetHost)
if(NOT symbols STREQUAL expected)
    message(FATAL_ERROR "exported: ${symbols}; expected exactly: ${expected}")
endif()
message(STATUS "exports: ${symbols}")
