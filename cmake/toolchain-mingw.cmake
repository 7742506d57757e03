# Cross toolchain for Windows, one file for both architectures and both runtime flavours:
#   NODMARK_MINGW_TRIPLE   i686-w64-mingw32 (32-bit) or x86_64-w64-mingw32 (64-bit)
#   NODMARK_MINGW_THREADS  win32 or posix
# The shipped binaries use the win32 flavour: its runtime takes no thread-local storage
# slot when the DLL loads, so a DLL that is loaded and freed over and over keeps running
# (the i686 one keeps one semaphore handle per load: see docs/robustness.md).
# The posix flavour (winpthreads) takes a slot on every load and never returns it, but it
# carries std::mutex and std::thread, without which GoogleTest does not build: the test
# programs use it.
set(CMAKE_SYSTEM_NAME Windows)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES NODMARK_MINGW_TRIPLE NODMARK_MINGW_THREADS)
if(NOT NODMARK_MINGW_TRIPLE MATCHES "^(i686|x86_64)-w64-mingw32$")
  message(FATAL_ERROR "NODMARK_MINGW_TRIPLE must be i686-w64-mingw32 or x86_64-w64-mingw32")
endif()
if(NOT NODMARK_MINGW_THREADS MATCHES "^(win32|posix)$")
  message(FATAL_ERROR "NODMARK_MINGW_THREADS must be win32 or posix")
endif()
set(triple ${NODMARK_MINGW_TRIPLE})
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR ${triple})

set(CMAKE_C_COMPILER ${triple}-gcc-${NODMARK_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${triple}-g++-${NODMARK_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_AR ${triple}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${triple}-ranlib CACHE FILEPATH "")
set(CMAKE_STRIP ${triple}-strip CACHE FILEPATH "")
set(NODMARK_WIDL ${triple}-widl CACHE FILEPATH "IDL compiler for the type library")

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Everything links statically so the binaries import system DLLs only.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine in the build tree's own prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh")
