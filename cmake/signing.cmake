# Authenticode signing of what the Windows build ships, with the publisher's own
# certificate (cmake/authenticode_sign.sh: osslsigncode, SHA-256). Off unless a
# certificate is named when the windows preset is configured.
#
# The Windows build (nodmark_signing_setup) reads, each from a cache variable of that
# name when one is given, else from the environment (and keeps it in the cache):
#   NODMARK_SIGN_PKCS12              certificate and key as one PKCS#12 file, or
#   NODMARK_SIGN_CERTS, NODMARK_SIGN_KEY
#                                    a PEM certificate chain and a PEM key file, or a
#                                    pkcs11: URI of a key on a token, whose module is
#   NODMARK_SIGN_PKCS11_MODULE       (and NODMARK_SIGN_PKCS11_ENGINE, if not the default)
#   NODMARK_SIGN_TIMESTAMP_URL       an RFC 3161 timestamp server (none: no timestamp)
#   NODMARK_SIGN_TIMESTAMP_OPTIONAL  sign without the timestamp when that server cannot
#                                    be reached (otherwise the build fails)
#   NODMARK_SIGN_PASSWORD            the password of the PKCS#12 file or key, or the PIN
# The password is never stored: the check at configure takes it from the environment,
# and every signing step reads it from the build's own environment. A cache variable
# given for it stands in for the environment at configure only: this file, included
# first, takes it out of the cache before anything can write the cache.
if(DEFINED CACHE{NODMARK_SIGN_PASSWORD})
  set(ENV{NODMARK_SIGN_PASSWORD} "${NODMARK_SIGN_PASSWORD}")
  unset(NODMARK_SIGN_PASSWORD CACHE)
endif()

set(_nodmark_sign_script ${CMAKE_CURRENT_LIST_DIR}/authenticode_sign.sh)
set(_nodmark_sign_settings NODMARK_SIGN_PKCS12 NODMARK_SIGN_CERTS NODMARK_SIGN_KEY
    NODMARK_SIGN_PKCS11_MODULE NODMARK_SIGN_PKCS11_ENGINE NODMARK_SIGN_TIMESTAMP_URL
    NODMARK_SIGN_TIMESTAMP_OPTIONAL)

# nodmark_signing_setup(SETTINGS file): checks the certificate named as above and
# writes `file`, what the signing steps read (key=value lines, no password). Sets
# NODMARK_SIGN (ON or OFF) and NODMARK_SIGN_SETTINGS in the caller's scope. `file` is
# written in either case and only rewritten when it changes: the shipped binaries link
# again whenever it does, so none keeps a signature, or the lack of one, from other
# settings.
function(nodmark_signing_setup)
  cmake_parse_arguments(ARG "" "SETTINGS" "" ${ARGN})
  set(content "")
  foreach(name IN LISTS _nodmark_sign_settings)
    set(${name} "" CACHE STRING "Authenticode signing: see cmake/signing.cmake")
    # A setting from the environment is kept in the cache, so that a configure that
    # make or cpack starts later, in another environment, still signs (or fails for
    # the want of the password) rather than quietly building unsigned files.
    if("${${name}}" STREQUAL "" AND NOT "$ENV{${name}}" STREQUAL "")
      set(${name} "$ENV{${name}}" CACHE STRING "Authenticode signing: see cmake/signing.cmake" FORCE)
    endif()
    set(value "${${name}}")
    string(REGEX REPLACE "^NODMARK_SIGN_" "" setting ${name})
    string(TOLOWER ${setting} setting)
    set(${setting} "${value}")
    if(setting STREQUAL "timestamp_optional")
      if(value)
        set(value 1)
      else()
        set(value 0)
      endif()
    endif()
    string(APPEND content "${setting}=${value}\n")
  endforeach()

  set(sign OFF)
  if(pkcs12 STREQUAL "" AND certs STREQUAL "")
    message(STATUS "Not signing the Windows binaries and packages: no certificate "
                   "(NODMARK_SIGN_PKCS12, or NODMARK_SIGN_CERTS and NODMARK_SIGN_KEY)")
    set(content "sign=off\n")
  else()
    find_program(NODMARK_OSSLSIGNCODE osslsigncode REQUIRED)
    find_program(NODMARK_OPENSSL openssl REQUIRED)
    string(APPEND content "osslsigncode=${NODMARK_OSSLSIGNCODE}\nopenssl=${NODMARK_OPENSSL}\n")
    set(candidate ${ARG_SETTINGS}.new)
    file(WRITE ${candidate} "${content}")
    execute_process(COMMAND bash ${_nodmark_sign_script} ${candidate} --check
                    OUTPUT_VARIABLE fingerprint ERROR_VARIABLE error RESULT_VARIABLE result
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_STRIP_TRAILING_WHITESPACE)
    if(NOT result EQUAL 0)
      file(REMOVE ${candidate})
      message(FATAL_ERROR "${error}")
    endif()
    # A new certificate under the same name signs everything again.
    string(APPEND content "fingerprint=${fingerprint}\n")
    foreach(file IN ITEMS ${pkcs12} ${certs})
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
    endforeach()
    set(sign ON)
    message(STATUS "Signing the Windows binaries and packages with the certificate ${fingerprint}")
  endif()
  # Written as it is (paths and addresses may hold "@" or "${"), and only when it changed.
  file(WRITE ${ARG_SETTINGS}.new "${content}")
  file(COPY_FILE ${ARG_SETTINGS}.new ${ARG_SETTINGS} ONLY_IF_DIFFERENT)
  file(REMOVE ${ARG_SETTINGS}.new)
  set(NODMARK_SIGN ${sign} PARENT_SCOPE)
  set(NODMARK_SIGN_SETTINGS ${ARG_SETTINGS} PARENT_SCOPE)
endfunction()

# nodmark_sign_commands(out file...): in `out`, the custom-command arguments
# (COMMAND ...) that sign each file in place; empty when not signing.
function(nodmark_sign_commands out)
  set(commands "")
  if(NODMARK_SIGN)
    set(commands COMMAND bash ${_nodmark_sign_script} ${NODMARK_SIGN_SETTINGS} ${ARGN})
  endif()
  set(${out} ${commands} PARENT_SCOPE)
endfunction()

# nodmark_sign_after_link(target): in a shipped Windows build (given NODMARK_SIGN and
# NODMARK_SIGN_SETTINGS by the Windows build), the target's file is signed right after
# it is linked, before anything copies or packs it, and linked again when the settings
# change. A failed signing fails the link, whose output make then deletes.
function(nodmark_sign_after_link target)
  if(NOT NODMARK_SIGN_SETTINGS)
    return()
  endif()
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${NODMARK_SIGN_SETTINGS})
  nodmark_sign_commands(commands $<TARGET_FILE:${target}>)
  if(commands)
    add_custom_command(TARGET ${target} POST_BUILD ${commands} COMMENT "Signing ${target}" VERBATIM)
  endif()
endfunction()
