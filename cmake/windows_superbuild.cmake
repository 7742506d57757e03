# The Windows build: the same source tree built four times, as external projects.
#   x86, x64              the shipped binaries (DLL, command-line tool, C++ clients), made
#                         with the win32-runtime compilers (see toolchain-mingw.cmake)
#   x86-tests, x64-tests  the test programs, made with the posix-runtime compilers, run
#                         under Wine against the shipped binaries of their architecture
# This project, built with the host compiler, holds what needs both architectures: the
# ZIP, the cross-architecture tests and the host tools they are made with. Its CTest
# file includes the two test builds', so `ctest` here runs every Windows test.
include(ExternalProject)

set(NODMARK_WINDOWS_ARCHES x86 x64)
set(NODMARK_TRIPLE_x86 i686-w64-mingw32)
set(NODMARK_TRIPLE_x64 x86_64-w64-mingw32)

set(toolchain ${PROJECT_SOURCE_DIR}/cmake/toolchain-mingw.cmake)
foreach(arch IN LISTS NODMARK_WINDOWS_ARCHES)
  set(common_args
    -DCMAKE_TOOLCHAIN_FILE=${toolchain}
    -DNODMARK_MINGW_TRIPLE=${NODMARK_TRIPLE_${arch}}
    -DCMAKE_BUILD_TYPE=Release)
  ExternalProject_Add(shipped_${arch}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/${arch}
    CMAKE_ARGS ${common_args} -DNODMARK_MINGW_THREADS=win32
               -DNODMARK_BUILD_TESTS=OFF -DNODMARK_BUILD_BENCH=OFF
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON)
  # The logic is the same C++ in both architectures: its tests run in the 32-bit build;
  # the 64-bit one runs what touches the OS, the DLL and its clients.
  if(arch STREQUAL x86)
    set(logic_tests ON)
  else()
    set(logic_tests OFF)
  endif()
  ExternalProject_Add(tests_${arch}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/${arch}-tests
    CMAKE_ARGS ${common_args} -DNODMARK_MINGW_THREADS=posix
               -DNODMARK_SHIPPED_DIR=${CMAKE_BINARY_DIR}/${arch}
               -DNODMARK_WINDOWS_ARCH=${arch}
               -DNODMARK_LOGIC_TESTS=${logic_tests}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON
    DEPENDS shipped_${arch})
endforeach()

enable_testing()
set(subbuild_tests ${CMAKE_BINARY_DIR}/windows_test_builds.cmake)
file(WRITE ${subbuild_tests} "subdirs(\"x86-tests\" \"x64-tests\")\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${subbuild_tests})

set(NODMARK_WINE_RUN ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)
foreach(arch IN LISTS NODMARK_WINDOWS_ARCHES)
  set(NODMARK_DLL_${arch} ${CMAKE_BINARY_DIR}/${arch}/shell/nodmark.dll)
  set(NODMARK_TLB_${arch} ${CMAKE_BINARY_DIR}/${arch}/shell/generated/nodmark.tlb)
  set(NODMARK_EXAMPLES_${arch} ${CMAKE_BINARY_DIR}/${arch}/examples)
endforeach()
set(NODMARK_IDL_HEADER ${CMAKE_BINARY_DIR}/x86/shell/generated/shell/nodmark.h)

include(${PROJECT_SOURCE_DIR}/cmake/packaging.cmake)
add_subdirectory(tests/windows)
