# The Wine prefixes the Windows tests run in, as CTest fixtures.

# nodmark_add_wine_prefix(PREFIX dir NAME name): the fixture wine_prefix_<name>: a setup
# test that makes the prefix `dir` where it does not exist and starts its server, and a
# cleanup test that stops the server. The tests that use the prefix require it
# (nodmark_use_wine_prefix), so that a run of any of them alone still gets its prefix.
function(nodmark_add_wine_prefix)
  cmake_parse_arguments(ARG "" "PREFIX;NAME" "" ${ARGN})
  set(script ${PROJECT_SOURCE_DIR}/scripts/wine-prefix.sh)
  add_test(NAME wine_prefix_start.${ARG_NAME} COMMAND bash ${script} start ${ARG_PREFIX})
  add_test(NAME wine_prefix_stop.${ARG_NAME} COMMAND bash ${script} stop ${ARG_PREFIX})
  set_tests_properties(wine_prefix_start.${ARG_NAME} PROPERTIES
                       FIXTURES_SETUP wine_prefix_${ARG_NAME} LABELS "wine" TIMEOUT 900)
  set_tests_properties(wine_prefix_stop.${ARG_NAME} PROPERTIES
                       FIXTURES_CLEANUP wine_prefix_${ARG_NAME} LABELS "wine")
endfunction()

# nodmark_use_wine_prefix(PREFIX dir NAME name TESTS test...): the tests run their Windows
# programs in the Wine prefix `dir` and require its fixture. Their resource locks stand
# for what one prefix holds once, its store file and its registration, so they become
# locks of that prefix alone ("store_file@name"): the tests of another prefix run beside
# them.
function(nodmark_use_wine_prefix)
  cmake_parse_arguments(ARG "" "PREFIX;NAME" "TESTS" ${ARGN})
  foreach(test IN LISTS ARG_TESTS)
    get_test_property(${test} RESOURCE_LOCK locks)
    if(locks)
      list(TRANSFORM locks APPEND "@${ARG_NAME}")
      set_property(TEST ${test} PROPERTY RESOURCE_LOCK ${locks})
    endif()
    set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED wine_prefix_${ARG_NAME})
    set_property(TEST ${test} APPEND PROPERTY
                 ENVIRONMENT_MODIFICATION "NODMARK_WINEPREFIX=set:${ARG_PREFIX}")
  endforeach()
endfunction()

# nodmark_needs_32bit_programs(TESTS test...): the tests start 32-bit programs (label
# x86). On a host that runs none (NODMARK_I386 none, cmake/host_kind.cmake) CTest
# reports them as not run ("Disabled").
function(nodmark_needs_32bit_programs)
  cmake_parse_arguments(ARG "" "" "TESTS" ${ARGN})
  set_property(TEST ${ARG_TESTS} APPEND PROPERTY LABELS x86)
  if(NODMARK_I386 STREQUAL "none")
    set_tests_properties(${ARG_TESTS} PROPERTIES DISABLED ON)
  endif()
endfunction()
