# The ZIP a Windows user takes away, made by the Windows build from both architectures:
#   cmake --build --preset windows && (cd build/windows && cpack)
# gives build/windows/nodmark-<version>-windows.zip with one top folder of that name:
# x86\ and x64\ (each DLL with its type library, assembly manifest and the command-line
# tool nodmark.exe of its architecture), include\ (the
# interface description and the header generated from it), examples\ (the four clients
# as sources, the C++ ones also built for each architecture, registered and
# registration-free) and USAGE.txt.
foreach(arch IN LISTS NODMARK_WINDOWS_ARCHES)
  # Without the DLL's import library, which has nothing to import: clients reach the
  # DLL through COM.
  # The assembly manifest beside each DLL, for use without registration.
  get_filename_component(shell_dir ${NODMARK_DLL_${arch}} DIRECTORY)
  install(FILES ${NODMARK_DLL_${arch}} ${NODMARK_TLB_${arch}} ${shell_dir}/nodmark.sxs.manifest
          DESTINATION ${arch})
  install(PROGRAMS ${NODMARK_TOOL_${arch}} DESTINATION ${arch})
  set(clients early_bound_client late_bound_client)
  foreach(client IN LISTS clients)
    install(PROGRAMS ${NODMARK_EXAMPLES_${arch}}/${client}.exe DESTINATION examples/${arch})
    # The same clients with a manifest that names the assembly, and that manifest as
    # text for host developers to copy.
    set(regfree ${NODMARK_EXAMPLES_${arch}}/regfree/${client})
    install(PROGRAMS ${regfree}.exe DESTINATION examples/${arch}/regfree)
    install(FILES ${regfree}.manifest DESTINATION examples/${arch}/regfree)
  endforeach()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/shell/nodmark.idl ${NODMARK_IDL_HEADER} DESTINATION include)
set(examples_dir ${PROJECT_SOURCE_DIR}/examples)
install(FILES ${examples_dir}/jscript_client.js ${examples_dir}/vbscript_client.vbs
              ${examples_dir}/early_bound_client.cpp ${examples_dir}/late_bound_client.cpp
        DESTINATION examples)
# With Windows line ends, for Notepad.
configure_file(${examples_dir}/USAGE.txt ${CMAKE_BINARY_DIR}/USAGE.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/USAGE.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME nodmark)
set(CPACK_PACKAGE_VENDOR nodmark)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "In-process automation component that tells its host three identifiers of the machine")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME nodmark-${PROJECT_VERSION}-windows)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES OFF)  # the release binaries are linked stripped already
include(CPack)
