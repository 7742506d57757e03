# The installer in today's 32-bit layout (preset win32): the x86 package of this
# build's DLL and, with the tests, its test under Wine on a 32-bit prefix. The cross
# compiler cannot build the registry-row generator, so it is built for the build
# machine as a project of its own. A build whose compiler is the host's adds
# installer/ with add_subdirectory and calls nodmark_add_msi directly instead.
include(ExternalProject)
include(${CMAKE_CURRENT_LIST_DIR}/msi.cmake)

set(host_tools ${CMAKE_BINARY_DIR}/host-tools)
ExternalProject_Add(nodmark_host_tools
  SOURCE_DIR ${PROJECT_SOURCE_DIR}/installer
  BINARY_DIR ${host_tools}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${host_tools}/nodmark_wix_registry)

nodmark_add_msi(NAME nodmark-${PROJECT_VERSION}-x86 ARCH x86 VERSION ${PROJECT_VERSION}
  X86_DLL $<TARGET_FILE:nodmark> GENERATOR ${host_tools}/nodmark_wix_registry
  OUTPUT_DIR ${CMAKE_BINARY_DIR} DEPENDS nodmark nodmark_host_tools)

if(NODMARK_BUILD_TESTS)
  # The package of a later version, for the upgrade step of the test. Windows
  # Installer compares the first three fields of a version, so the third one grows.
  math(EXPR next_patch "${PROJECT_VERSION_PATCH} + 1")
  set(later ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${next_patch}.0)
  set(test_dir ${CMAKE_BINARY_DIR}/msi-test)
  nodmark_add_msi(NAME nodmark-${later}-x86 ARCH x86 VERSION ${later}
    X86_DLL $<TARGET_FILE:nodmark> GENERATOR ${host_tools}/nodmark_wix_registry
    OUTPUT_DIR ${test_dir} DEPENDS nodmark nodmark_host_tools)
  add_test(NAME installer_package.x86
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/installer/msi_test.sh ${test_dir}/prefix
            ${CMAKE_BINARY_DIR}/nodmark-${PROJECT_VERSION}-x86.msi ${test_dir}/nodmark-${later}-x86.msi
            ${PROJECT_SOURCE_DIR}/examples/jscript_client.js
            $<TARGET_FILE:nodmark> $<TARGET_FILE:late_bound_client>)
  set_tests_properties(installer_package.x86 PROPERTIES LABELS "wine;installer" TIMEOUT 600)
endif()
