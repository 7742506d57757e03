# nodmark_add_msi(NAME name ARCH x86|x64 VERSION version X86_DLL path X86_TOOL path
#                 [X64_DLL path X64_TOOL path] GENERATOR target-or-path
#                 [OUTPUT_DIR dir] [DEPENDS target...])
# A target `name` (built by default) that makes OUTPUT_DIR/name.msi (OUTPUT_DIR
# defaults to the current binary directory) with wixl from installer/nodmark.wxs:
# - ARCH x86: the 32-bit DLL alone, for 32-bit Windows;
# - ARCH x64: the 64-bit DLL into ProgramFiles64Folder\nodmark and the 32-bit one
#   into ProgramFilesFolder\nodmark, each registered in its own registry view.
# Each DLL has the command-line tool nodmark.exe of its architecture beside it.
# GENERATOR is nodmark_wix_registry (installer/), built for the build machine: a
# target of this build or the path of one built elsewhere (then name what builds it
# in DEPENDS). It writes the registry rows wixl includes and, after wixl, the
# RemoveRegistry table that msibuild adds (wixl writes none), so that an install
# deletes the class key's tree before writing it, as DllRegisterServer does.
# The product code is derived from VERSION and ARCH, so every version gets its own,
# as a major upgrade needs, and the same version always the same.
find_program(NODMARK_WIXL wixl REQUIRED)
find_program(NODMARK_MSIBUILD msibuild REQUIRED)
set(NODMARK_MSI_SOURCE ${CMAKE_CURRENT_LIST_DIR}/../installer/nodmark.wxs)
set(NODMARK_MSI_PRODUCT_CODE_NAMESPACE 612955D7-6C4B-4247-9E85-5F640611AE29)

function(nodmark_add_msi)
  cmake_parse_arguments(ARG ""
    "NAME;ARCH;VERSION;X86_DLL;X86_TOOL;X64_DLL;X64_TOOL;GENERATOR;OUTPUT_DIR" "DEPENDS" ${ARGN})
  if(NOT ARG_ARCH MATCHES "^(x86|x64)$" OR NOT ARG_X86_DLL OR NOT ARG_X86_TOOL OR
     (ARG_ARCH STREQUAL x64 AND (NOT ARG_X64_DLL OR NOT ARG_X64_TOOL)))
    message(FATAL_ERROR
      "nodmark_add_msi(${ARG_NAME}): ARCH x86 needs X86_DLL and X86_TOOL, ARCH x64 both pairs")
  endif()
  if(NOT ARG_OUTPUT_DIR)
    set(ARG_OUTPUT_DIR ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  set(generator ${ARG_GENERATOR})
  if(TARGET ${ARG_GENERATOR})
    set(generator $<TARGET_FILE:${ARG_GENERATOR}>)
  endif()
  get_filename_component(source ${NODMARK_MSI_SOURCE} ABSOLUTE)
  string(UUID product_code NAMESPACE ${NODMARK_MSI_PRODUCT_CODE_NAMESPACE}
         NAME "nodmark-${ARG_VERSION}-${ARG_ARCH}" TYPE SHA1 UPPER)

  # wixl finds the files and the generated includes in one staging folder.
  set(stage ${CMAKE_CURRENT_BINARY_DIR}/${ARG_NAME}.wix)
  set(msi ${ARG_OUTPUT_DIR}/${ARG_NAME}.msi)
  file(MAKE_DIRECTORY ${stage} ${ARG_OUTPUT_DIR})
  set(commands
    COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}/x86 ${stage}/x64
    COMMAND ${CMAKE_COMMAND} -E copy ${ARG_X86_DLL} ${stage}/x86/nodmark.dll
    COMMAND ${CMAKE_COMMAND} -E copy ${ARG_X86_TOOL} ${stage}/x86/nodmark.exe
    COMMAND ${generator} win32 nodmark_x86_dll NODMARK_X86_DIR ${stage}/registry-win32.wxi)
  # The components of nodmark.wxs that install a DLL, with its platform.
  set(components win32 nodmark_x86)
  set(inputs ${ARG_X86_DLL} ${ARG_X86_TOOL})
  if(ARG_ARCH STREQUAL x64)
    list(APPEND commands
      COMMAND ${CMAKE_COMMAND} -E copy ${ARG_X64_DLL} ${stage}/x64/nodmark.dll
      COMMAND ${CMAKE_COMMAND} -E copy ${ARG_X64_TOOL} ${stage}/x64/nodmark.exe
      COMMAND ${generator} win64 nodmark_x64_dll NODMARK_X64_DIR ${stage}/registry-win64.wxi)
    list(APPEND components win64 nodmark_x64)
    list(APPEND inputs ${ARG_X64_DLL} ${ARG_X64_TOOL})
  endif()
  # Signing (cmake/signing.cmake) is the last step that touches the package: any step
  # that edits the package goes before it. A change of the signing settings makes the
  # package again.
  nodmark_sign_commands(sign_package ${msi})
  add_custom_command(
    OUTPUT ${msi}
    ${commands}
    COMMAND ${NODMARK_WIXL} -a ${ARG_ARCH} -D Version=${ARG_VERSION} -D ProductCode=${product_code}
            -D Arch=${ARG_ARCH} -I ${stage} -o ${msi} ${source}
    # After wixl: the RemoveRegistry table, added to the package in place.
    COMMAND ${generator} --remove-registry ${stage}/RemoveRegistry.idt ${components}
    COMMAND ${NODMARK_MSIBUILD} ${msi} -i ${stage}/RemoveRegistry.idt
    ${sign_package}
    WORKING_DIRECTORY ${stage}
    DEPENDS ${inputs} ${source} ${ARG_GENERATOR} ${ARG_DEPENDS} ${NODMARK_SIGN_SETTINGS}
    COMMENT "wixl and msibuild: ${ARG_NAME}.msi"
    VERBATIM)
  add_custom_target(${ARG_NAME} ALL DEPENDS ${msi})
endfunction()

# nodmark_add_msi_pair(VERSION version OUTPUT_DIR dir X86_DLL path X86_TOOL path
#                      X64_DLL path X64_TOOL path
#                      DEPENDS_X86 target... DEPENDS_X64 target...): the two packages of
# one version, nodmark-<version>-x64.msi (both DLLs) and nodmark-<version>-x86.msi.
function(nodmark_add_msi_pair)
  cmake_parse_arguments(ARG "" "VERSION;OUTPUT_DIR;X86_DLL;X86_TOOL;X64_DLL;X64_TOOL"
                        "DEPENDS_X86;DEPENDS_X64" ${ARGN})
  nodmark_add_msi(NAME nodmark-${ARG_VERSION}-x64 ARCH x64 VERSION ${ARG_VERSION}
    X86_DLL ${ARG_X86_DLL} X86_TOOL ${ARG_X86_TOOL} X64_DLL ${ARG_X64_DLL}
    X64_TOOL ${ARG_X64_TOOL} GENERATOR nodmark_wix_registry
    OUTPUT_DIR ${ARG_OUTPUT_DIR} DEPENDS ${ARG_DEPENDS_X86} ${ARG_DEPENDS_X64})
  nodmark_add_msi(NAME nodmark-${ARG_VERSION}-x86 ARCH x86 VERSION ${ARG_VERSION}
    X86_DLL ${ARG_X86_DLL} X86_TOOL ${ARG_X86_TOOL} GENERATOR nodmark_wix_registry
    OUTPUT_DIR ${ARG_OUTPUT_DIR} DEPENDS ${ARG_DEPENDS_X86})
endfunction()
