# The Windows build: the same source tree built four times, as external projects.
#   x86, x64              the shipped binaries (DLL, command-line tool, C++ clients), made
#                         with the win32-runtime compilers (see toolchain-mingw.cmake)
#   x86-tests, x64-tests  the test programs, made with the posix-runtime compilers from
#                         the shipped build's library objects, run under Wine against
#                         the shipped binaries of their architecture
# This project, built with the host compiler, holds what needs both architectures: the
# ZIP, the Windows Installer packages, the cross-architecture tests and the host tools
# they are made with. Its CTest
# file includes the two test builds', so `ctest` here runs every Windows test.
include(ExternalProject)

set(NODMARK_WINDOWS_ARCHES x86 x64)
set(NODMARK_TRIPLE_x86 i686-w64-mingw32)
set(NODMARK_TRIPLE_x64 x86_64-w64-mingw32)

# Signing the shipped binaries and the packages (cmake/signing.cmake): the shipped
# builds sign each binary after its link, this build each package after wixl.
nodmark_signing_setup(SETTINGS ${CMAKE_BINARY_DIR}/signing.txt)

# Whether this host runs 32-bit programs decides what the 32-bit test build makes and
# which architectures' programs the main job (scripts/run.sh) runs: it reads them here.
include(${PROJECT_SOURCE_DIR}/cmake/host_kind.cmake)
# The file's lines: the architectures, how 32-bit programs run here, and a note for
# below the main job's table.
if(NODMARK_I386 STREQUAL "none")
  set(running_arches x64)
  set(note "No 32-bit column: ${NODMARK_I386_WHY}.\nTo show it under emulation: sudo ./scripts/enable-i386-emulation.sh, then\ncmake --preset windows -DNODMARK_I386= && ./scripts/run.sh")
else()
  set(running_arches "x86 x64")
  set(note "")
  if(NODMARK_I386 STREQUAL "emulated")
    set(note "The 32-bit script host ran under emulation, which shows it the emulator's processor:\nits nodmark_complicate digests that processor's signature (README: Hosts that run no\n32-bit programs).")
  endif()
endif()
file(WRITE ${CMAKE_BINARY_DIR}/running-architectures.txt
     "${running_arches}\n32-bit programs: ${NODMARK_I386} (${NODMARK_I386_WHY})\n${note}\n")

set(toolchain ${PROJECT_SOURCE_DIR}/cmake/toolchain-mingw.cmake)
foreach(arch IN LISTS NODMARK_WINDOWS_ARCHES)
  # Each architecture's tests run in a Wine prefix of their own (64-bit, so that it runs
  # both architectures), each with its own store file and registry: the two sets run
  # side by side, each serialised where it must be within its prefix.
  set(NODMARK_WINEPREFIX_${arch} ${CMAKE_BINARY_DIR}/wineprefix-${arch})
  set(common_args
    -DCMAKE_TOOLCHAIN_FILE=${toolchain}
    -DNODMARK_MINGW_TRIPLE=${NODMARK_TRIPLE_${arch}}
    -DCMAKE_BUILD_TYPE=Release
    -DNODMARK_COMPANY_NAME=${NODMARK_COMPANY_NAME} -DNODMARK_PRODUCT_NAME=${NODMARK_PRODUCT_NAME})
  ExternalProject_Add(shipped_${arch}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/${arch}
    # What other steps of this build take as files: Ninja must know who makes them.
    BUILD_BYPRODUCTS ${CMAKE_BINARY_DIR}/${arch}/shell/nodmark.dll
                     ${CMAKE_BINARY_DIR}/${arch}/tools/nodmark.exe
    CMAKE_ARGS ${common_args} -DNODMARK_MINGW_THREADS=win32
               -DNODMARK_BUILD_TESTS=OFF -DNODMARK_BUILD_BENCH=OFF
               -DNODMARK_SIGN=${NODMARK_SIGN} -DNODMARK_SIGN_SETTINGS=${NODMARK_SIGN_SETTINGS}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON)
  # The logic is the same C++ in both architectures: its tests run in the 32-bit build;
  # the 64-bit one runs what touches the OS, the DLL and its clients. Where 32-bit
  # programs do not run, the 32-bit test build makes nothing: its tests are reported as
  # not run.
  set(build_tests ${CMAKE_COMMAND} --build <BINARY_DIR>)
  if(arch STREQUAL x86)
    set(logic_tests ON)
    if(NODMARK_I386 STREQUAL "none")
      set(build_tests ${CMAKE_COMMAND} -E echo "32-bit test programs not built: ${NODMARK_I386_WHY}")
    endif()
  else()
    set(logic_tests OFF)
  endif()
  # The test programs are optimised lightly: they spend their time in Wine and the OS,
  # and GoogleTest compiles in about half the time.
  set(test_build_args ${common_args} -DNODMARK_MINGW_THREADS=posix
      "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -DNDEBUG"
      -DNODMARK_SHIPPED_DIR=${CMAKE_BINARY_DIR}/${arch}
      -DNODMARK_WINDOWS_ARCH=${arch}
      -DNODMARK_WINEPREFIX=${NODMARK_WINEPREFIX_${arch}}
      -DNODMARK_LOGIC_TESTS=${logic_tests}
      -DNODMARK_I386=${NODMARK_I386})
  # One argument a line, for the test of the plan (tests/scripts/host_plan_test.sh).
  list(JOIN test_build_args "\n" lines)
  file(WRITE ${CMAKE_BINARY_DIR}/${arch}-tests.args "${lines}\n")
  ExternalProject_Add(tests_${arch}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/${arch}-tests
    CMAKE_ARGS ${test_build_args}
    BUILD_COMMAND ${build_tests}
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
  set(NODMARK_TOOL_${arch} ${CMAKE_BINARY_DIR}/${arch}/tools/nodmark.exe)
endforeach()
set(NODMARK_IDL_HEADER ${CMAKE_BINARY_DIR}/x86/shell/generated/shell/nodmark.h)

include(${PROJECT_SOURCE_DIR}/cmake/packaging.cmake)

# The Windows Installer packages: x64 (both DLLs, each registered in its own registry
# view) and x86 (the 32-bit DLL alone, for 32-bit Windows). The registry rows are
# generated by a host tool from the table DllRegisterServer walks.
add_subdirectory(installer)
include(${PROJECT_SOURCE_DIR}/cmake/msi.cmake)
nodmark_add_msi_pair(VERSION ${PROJECT_VERSION} OUTPUT_DIR ${CMAKE_BINARY_DIR}
  X86_DLL ${NODMARK_DLL_x86} X86_TOOL ${NODMARK_TOOL_x86}
  X64_DLL ${NODMARK_DLL_x64} X64_TOOL ${NODMARK_TOOL_x64}
  DEPENDS_X86 shipped_x86 DEPENDS_X64 shipped_x64)

add_subdirectory(tests/windows)
