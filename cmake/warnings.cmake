# Warnings are errors in every build of the project's own code. Third-party code
# (GoogleTest built from source for the win32 tests) does not link this target.
add_library(nodmark_warnings INTERFACE)
target_compile_options(nodmark_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion -Werror)

# nodmark_precompile_windows_headers(TARGET...): the OS's and OLE's headers, about 1.2 s of
# the 1.7 s a Windows source takes to compile, parsed once per target rather than once per
# source (Winsock's first, as it must come before windows.h). Nothing elsewhere.
function(nodmark_precompile_windows_headers)
  if(WIN32)
    foreach(target IN LISTS ARGN)
      target_precompile_headers(${target} PRIVATE <winsock2.h> <windows.h> <ole2.h> <oleauto.h>)
    endforeach()
  endif()
endfunction()
