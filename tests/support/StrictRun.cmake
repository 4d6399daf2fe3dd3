# halden_strict_run(<test target>): links the listener that fails a test during which a host
# recorded a breach of the OFX rules, and registers every test case a second time, named
# <case>_strict, with the rules enforced by every host (HALDEN_HOST_STRICT=1).
function(halden_strict_run target)
    target_sources(${target} PRIVATE ${HALDEN_TESTS_DIR}/support/StrictHostListener.cpp)
    # The host's rules do not depend on the system: Linux runs the copies, Wine would only
    # double the Windows suite's time.
    if(WIN32)
        return()
    endif()
    gtest_discover_tests(${target} TEST_SUFFIX _strict TEST_LIST ${target}_STRICT
        DISCOVERY_TIMEOUT 60)
    # Discovery cannot pass a list of labels on; this runs after its own include file.
    set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_strict_properties.cmake)
    file(WRITE ${script}
        "if(${target}_STRICT)\n"
        "  set_tests_properties(\${${target}_STRICT} PROPERTIES LABELS \"e2e;strict\"\n"
        "                       ENVIRONMENT HALDEN_HOST_STRICT=1)\n"
        "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()
