# nodmark_add_test(name SOURCES ... LIBS ...): one GoogleTest program.
# In the plain native build every test case is its own CTest test. Under Wine and in the
# sanitizer build the program is one CTest test, so a run pays one process start per
# program rather than per case.
if(WIN32)
  # Both Windows test builds run in one CTest run: their test names carry the
  # architecture ("shell_dll_test.x64").
  set(NODMARK_TEST_SUFFIX .${NODMARK_WINDOWS_ARCH})
  # The cross build compiles GoogleTest from Debian's sources with the same compiler.
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(NODMARK_GTEST_MAIN gtest_main)
  set(NODMARK_GMOCK gmock)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  set(NODMARK_GTEST_MAIN GTest::gtest_main)
  set(NODMARK_GMOCK GTest::gmock)
endif()

# Natively, outside the sanitizer builds, each program also runs whole under valgrind's
# memcheck as the CTest test memcheck.NAME (label "memcheck", run by the test preset
# "memcheck" and left out of "native"): any memory error or definitely or indirectly
# lost block fails it.
if(NOT WIN32 AND NOT NODMARK_SANITIZE AND NOT NODMARK_FUZZ)
  find_program(NODMARK_VALGRIND valgrind)
endif()
if(NODMARK_VALGRIND)
  set(NODMARK_MEMCHECK_COMMAND
    ${NODMARK_VALGRIND} --quiet --error-exitcode=1 --leak-check=full
    --errors-for-leak-kinds=definite,indirect --show-leak-kinds=definite,indirect)
endif()

# Test code is compiled for a quick build rather than for speed: the tests spend their
# time in the code under test, which keeps its build's optimisation, and in the OS.
# The sanitizer build's test code is not optimised at all: instrumented, it compiles in
# about half the time at -O0 as at -O1. (The Windows test builds are optimised lightly
# as a whole.)
add_library(nodmark_test_flags INTERFACE)
if(NOT WIN32)
  target_compile_options(nodmark_test_flags INTERFACE $<IF:$<CONFIG:Debug>,-O0,-Og>)
endif()

# GoogleTest and GoogleMock are parsed once per build: one precompiled header, which every
# test program reuses, instead of once in every test source of four builds.
set(test_pch_source ${CMAKE_BINARY_DIR}/nodmark_test_pch.cpp)
file(CONFIGURE OUTPUT ${test_pch_source} CONTENT "// The precompiled header's own unit.\n")
add_library(nodmark_test_pch STATIC ${test_pch_source})
target_link_libraries(nodmark_test_pch PUBLIC ${NODMARK_GMOCK} ${NODMARK_GTEST_MAIN} nodmark_warnings
                                              nodmark_test_flags)
target_precompile_headers(nodmark_test_pch PRIVATE
  <gmock/gmock.h> <gtest/gtest.h> <cstdint> <functional> <map> <memory> <optional> <string>
  <vector>)
# Most Windows test sources include the OS's and OLE's headers too.
nodmark_precompile_windows_headers(nodmark_test_pch)

function(nodmark_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${NODMARK_GMOCK} ${NODMARK_GTEST_MAIN}
                                        nodmark_warnings nodmark_test_flags)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_precompile_headers(${name} REUSE_FROM nodmark_test_pch)
  # A program's sources compile as one unit: GoogleTest's and the JSON library's
  # templates are instantiated and optimised once per program, not once per source.
  set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0)
  if(WIN32)
    add_test(NAME ${name}${NODMARK_TEST_SUFFIX} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name}${NODMARK_TEST_SUFFIX} PROPERTIES
                         LABELS "wine;${ARG_LABELS}" TIMEOUT 900)
  elseif(NODMARK_SANITIZE)
    # A sanitized process takes a while to start and to map its shadow memory: one
    # process per program, as under Wine.
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES LABELS "native;${ARG_LABELS}" TIMEOUT 600)
  else()
    gtest_discover_tests(${name} PROPERTIES LABELS "native;${ARG_LABELS}" TIMEOUT 600
                         DISCOVERY_TIMEOUT 60)
    if(NODMARK_MEMCHECK_COMMAND)
      add_test(NAME memcheck.${name}
               COMMAND ${NODMARK_MEMCHECK_COMMAND} $<TARGET_FILE:${name}> --gtest_brief=1)
      set_tests_properties(memcheck.${name} PROPERTIES LABELS "memcheck;${ARG_LABELS}" TIMEOUT 900)
    endif()
  endif()
endfunction()
