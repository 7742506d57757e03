# How this host runs 32-bit x86 programs, which Wine needs for every 32-bit Windows
# program, decided once when the build is configured: scripts/i386-support.sh tells, and
# the answer stays in the cache. Set NODMARK_I386 by hand to plan for another kind of
# host (native, emulated or none); empty it to ask again.
#   native, emulated  every test runs; under emulation (qemu through binfmt_misc) the
#                     32-bit processes see the emulator's processor
#   none              the 32-bit test programs are not built and the tests that start
#                     32-bit programs are reported as not run
set(NODMARK_I386 "" CACHE STRING "How this host runs 32-bit programs: native, emulated or none (empty: detect)")
set_property(CACHE NODMARK_I386 PROPERTY STRINGS "" native emulated none)
if(NOT NODMARK_I386)
  execute_process(COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/i386-support.sh
                  OUTPUT_VARIABLE answer OUTPUT_STRIP_TRAILING_WHITESPACE)
  string(REGEX MATCH "^(native|emulated|none): (.*)$" matched "${answer}")
  if(NOT matched)
    message(FATAL_ERROR "scripts/i386-support.sh gave no answer: ${answer}")
  endif()
  set(NODMARK_I386 ${CMAKE_MATCH_1} CACHE STRING "" FORCE)
  set(NODMARK_I386_DETECTED ${CMAKE_MATCH_1} CACHE INTERNAL "What scripts/i386-support.sh said")
  set(NODMARK_I386_WHY "${CMAKE_MATCH_2}" CACHE INTERNAL "Why NODMARK_I386 is what it is")
elseif(NOT NODMARK_I386 MATCHES "^(native|emulated|none)$")
  message(FATAL_ERROR "NODMARK_I386 is '${NODMARK_I386}': native, emulated or none")
elseif(NOT NODMARK_I386 STREQUAL "${NODMARK_I386_DETECTED}")
  set(NODMARK_I386_WHY "NODMARK_I386 was set by hand" CACHE INTERNAL "Why NODMARK_I386 is what it is")
endif()
message(STATUS "32-bit programs: ${NODMARK_I386} (${NODMARK_I386_WHY})")
