# The OS's and OLE's headers, about 1.2 s of the 1.7 s a Windows source takes to compile:
# precompiled, they are parsed once per target rather than once per source (Winsock's
# first, as it must come before windows.h).
set(NODMARK_WINDOWS_HEADERS <winsock2.h> <windows.h> <ole2.h> <oleauto.h>)

# nodmark_precompile_windows_headers(TARGET...): those headers precompiled for each
# target, in a Windows build; nothing elsewhere.
function(nodmark_precompile_windows_headers)
  if(WIN32)
    foreach(target IN LISTS ARGN)
      target_precompile_headers(${target} PRIVATE ${NODMARK_WINDOWS_HEADERS})
    endforeach()
  endif()
endfunction()
