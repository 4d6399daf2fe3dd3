# halden_strict_run(<test target>): links the listener that fails a test during which a host
# recorded a breach of the OFX rules, and registers every test case a second time, named
# <case>_strict, with the rules enforced by every host (HALDEN_HOST_STRICT=1).
function(halden_strict_run target)
    target_sources(${target} PRIVATE ${HALDEN_TESTS_DIR}/support/StrictHostListener.cpp)
    gtest_discover_tests(${target} TEST_SUFFIX _strict
        PROPERTIES LABELS "e2e;strict" ENVIRONMENT HALDEN_HOST_STRICT=1 DISCOVERY_TIMEOUT 60)
endfunction()
