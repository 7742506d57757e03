# nodmark_use_wine_prefix(PREFIX dir NAME name TESTS test...): the tests run their Windows
# programs in the Wine prefix `dir` (scripts/wine-run.sh creates it on first use). Their
# resource locks stand for what one prefix holds once, its store file and its
# registration, so they become locks of that prefix alone ("store_file@name"): the tests
# of another prefix run beside them.
function(nodmark_use_wine_prefix)
  cmake_parse_arguments(ARG "" "PREFIX;NAME" "TESTS" ${ARGN})
  foreach(test IN LISTS ARG_TESTS)
    get_test_property(${test} RESOURCE_LOCK locks)
    if(locks)
      list(TRANSFORM locks APPEND "@${ARG_NAME}")
      set_property(TEST ${test} PROPERTY RESOURCE_LOCK ${locks})
    endif()
    set_property(TEST ${test} APPEND PROPERTY
                 ENVIRONMENT_MODIFICATION "NODMARK_WINEPREFIX=set:${ARG_PREFIX}")
  endforeach()
endfunction()
