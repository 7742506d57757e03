# Side-by-side manifests for registration-free use of nodmark.dll.
#
# Nothing in them is typed here: the GUIDs, the class description and the type
# library's version come from shell/nodmark.idl, the ProgIDs from the registration
# table (shell/registration_table.cpp), and the assembly version from
# project(VERSION), which the DLL's version resource also carries. The architecture
# follows the compiler the build runs with.

set(NODMARK_ASSEMBLY_NAME nodmark.sxs)
set(_nodmark_manifest_dir ${CMAKE_CURRENT_LIST_DIR})

# nodmark_manifest_architecture(out): "x86" or "amd64", the processorArchitecture
# of the binaries this build makes.
function(nodmark_manifest_architecture out)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(${out} amd64 PARENT_SCOPE)
  else()
    set(${out} x86 PARENT_SCOPE)
  endif()
endfunction()

function(_nodmark_match out pattern text what)
  if(NOT text MATCHES "${pattern}")
    message(FATAL_ERROR "assembly manifest: no ${what} found (pattern ${pattern})")
  endif()
  set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

# nodmark_read_component_identity(IDL file REGISTRATION file): sets, in the caller's
# scope, NODMARK_CLSID, NODMARK_LIBID (registry form, braces and upper case),
# NODMARK_INTERFACES (the interfaces in the order the IDL declares them, each as
# "NAME={IID}"), NODMARK_CLASS_DESCRIPTION, NODMARK_TYPELIB_VERSION, NODMARK_PROGID
# and NODMARK_VERSIONED_PROGID. CMake configures again when either file changes.
function(nodmark_read_component_identity)
  cmake_parse_arguments(ARG "" "IDL;REGISTRATION" "" ${ARGN})
  file(READ ${ARG_IDL} idl)
  file(READ ${ARG_REGISTRATION} registration)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ARG_IDL} ${ARG_REGISTRATION})

  set(guid "([0-9A-Fa-f-]+)")
  set(skip "[^]]*")  # the rest of an attribute list
  # Brackets would keep the matches from splitting into a list: the attribute lists'
  # ends are read as '>' here.
  string(REPLACE "[" "<" unbracketed "${idl}")
  string(REPLACE "]" ">" unbracketed "${unbracketed}")
  set(interface_pattern "uuid\\(${guid}\\)[^>]*>[ \t\r\n]*interface[ \t]+([A-Za-z_0-9]+)")
  string(REGEX MATCHALL "${interface_pattern}" declarations "${unbracketed}")
  if(NOT declarations)
    message(FATAL_ERROR "assembly manifest: no interface found (pattern ${interface_pattern})")
  endif()
  set(interfaces "")
  foreach(declaration IN LISTS declarations)
    string(REGEX MATCH "${interface_pattern}" unused "${declaration}")
    string(TOUPPER "${CMAKE_MATCH_1}" upper)
    list(APPEND interfaces "${CMAKE_MATCH_2}={${upper}}")
  endforeach()
  _nodmark_match(libid "uuid\\(${guid}\\)${skip}\\][ \t\r\n]*library[ \t]" "${idl}" "library uuid")
  _nodmark_match(typelib_version "version\\(([0-9.]+)\\)${skip}\\][ \t\r\n]*library[ \t]" "${idl}"
                 "library version")
  _nodmark_match(clsid "uuid\\(${guid}\\)${skip}\\][ \t\r\n]*coclass[ \t]" "${idl}" "coclass uuid")
  _nodmark_match(description "helpstring\\(\"([^\"]*)\"\\)${skip}\\][ \t\r\n]*coclass[ \t]" "${idl}"
                 "coclass helpstring")
  _nodmark_match(prog_id "kProgId\\[\\] = \"([^\"]+)\"" "${registration}" "ProgID")
  _nodmark_match(version_suffix "kVersionSuffix\\[\\] = \"([^\"]+)\"" "${registration}"
                 "ProgID version suffix")

  foreach(name libid clsid)
    string(TOUPPER "${${name}}" upper)
    set(${name} "{${upper}}")
  endforeach()
  set(NODMARK_CLSID ${clsid} PARENT_SCOPE)
  set(NODMARK_LIBID ${libid} PARENT_SCOPE)
  set(NODMARK_INTERFACES "${interfaces}" PARENT_SCOPE)
  set(NODMARK_CLASS_DESCRIPTION ${description} PARENT_SCOPE)
  set(NODMARK_TYPELIB_VERSION ${typelib_version} PARENT_SCOPE)
  set(NODMARK_PROGID ${prog_id} PARENT_SCOPE)
  set(NODMARK_VERSIONED_PROGID ${prog_id}${version_suffix} PARENT_SCOPE)
endfunction()

# nodmark_assembly_manifest(OUTPUT file IDL file REGISTRATION file): writes the
# assembly manifest that describes nodmark.dll to a host's activation context.
function(nodmark_assembly_manifest)
  cmake_parse_arguments(ARG "" "OUTPUT;IDL;REGISTRATION" "" ${ARGN})
  nodmark_read_component_identity(IDL ${ARG_IDL} REGISTRATION ${ARG_REGISTRATION})
  nodmark_manifest_architecture(NODMARK_ARCHITECTURE)
  set(NODMARK_ASSEMBLY_VERSION ${PROJECT_VERSION})
  # Every interface is marshalled by the automation marshaller from the type library.
  set(NODMARK_PROXY_STUBS "")
  foreach(interface IN LISTS NODMARK_INTERFACES)
    string(REPLACE "=" ";" name_and_iid "${interface}")
    list(GET name_and_iid 0 name)
    list(GET name_and_iid 1 iid)
    string(APPEND NODMARK_PROXY_STUBS
           "  <comInterfaceExternalProxyStub name=\"${name}\" iid=\"${iid}\" "
           "proxyStubClsid32=\"{00020424-0000-0000-C000-000000000046}\" "
           "tlbid=\"${NODMARK_LIBID}\"/>\n")
  endforeach()
  configure_file(${_nodmark_manifest_dir}/../shell/nodmark.sxs.manifest.in ${ARG_OUTPUT} @ONLY)
endfunction()

# nodmark_host_manifest(OUTPUT file HOST name): writes the application manifest of a
# host program named `name` that takes nodmark from the assembly beside it.
function(nodmark_host_manifest)
  cmake_parse_arguments(ARG "" "OUTPUT;HOST" "" ${ARGN})
  nodmark_manifest_architecture(NODMARK_ARCHITECTURE)
  set(NODMARK_HOST_NAME ${ARG_HOST})
  set(NODMARK_ASSEMBLY_VERSION ${PROJECT_VERSION})
  configure_file(${_nodmark_manifest_dir}/../examples/regfree/host.manifest.in ${ARG_OUTPUT} @ONLY)
endfunction()
