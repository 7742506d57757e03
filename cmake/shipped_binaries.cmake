# In a Windows test build: the DLL, the command-line tool and the C++ clients as the
# shipped build of the same architecture made them (NODMARK_SHIPPED_DIR), under the
# target names the tests use for them.
add_library(nodmark SHARED IMPORTED GLOBAL)
set_target_properties(nodmark PROPERTIES IMPORTED_LOCATION ${NODMARK_SHIPPED_DIR}/shell/nodmark.dll)
foreach(program nodmark_tool:tools/nodmark.exe early_bound_client:examples/early_bound_client.exe
                late_bound_client:examples/late_bound_client.exe)
  string(REPLACE ":" ";" program ${program})
  list(GET program 0 target)
  list(GET program 1 path)
  add_executable(${target} IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${NODMARK_SHIPPED_DIR}/${path})
endforeach()

# The libraries too: the test programs link the objects the shipped build compiled, so
# the tests run the very code the DLL and the tool are made of, and a test build
# compiles only its tests. Those objects come from the win32-runtime compilers and link
# into programs of the posix runtime: the two runtimes differ only in the C++ thread
# library, whose inline parts would not agree, and the libraries use none of it (GCC 12's
# win32 runtime has none); the OS's own locks serve them (platform/win32/lock.cpp). A
# library that took std::mutex or std::thread would have to be compiled here again, so
# a source of the Windows build that includes the thread library stops the configuration.
file(GLOB_RECURSE product_files LIST_DIRECTORIES false
     RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/core/* ${PROJECT_SOURCE_DIR}/identifiers/*
     ${PROJECT_SOURCE_DIR}/filter/* ${PROJECT_SOURCE_DIR}/sources/*
     ${PROJECT_SOURCE_DIR}/platform/* ${PROJECT_SOURCE_DIR}/shell/* ${PROJECT_SOURCE_DIR}/tools/*)
list(FILTER product_files INCLUDE REGEX "\\.(h|cpp)$")
list(FILTER product_files EXCLUDE REGEX "^platform/posix/")
foreach(file IN LISTS product_files)
  file(STRINGS ${PROJECT_SOURCE_DIR}/${file} uses REGEX
       "#include <(mutex|shared_mutex|thread|condition_variable|future|latch|barrier|semaphore|stop_token)>|call_once")
  if(uses)
    message(FATAL_ERROR "${file} uses the C++ thread library (${uses}): its library's objects "
                        "cannot serve the posix-runtime test programs (cmake/shipped_binaries.cmake)")
  endif()
endforeach()
set(NODMARK_SHIPPED_LIBRARIES
  nodmark_digest nodmark_identifiers nodmark_filter nodmark_sources nodmark_sync nodmark_ini
  nodmark_platform nodmark_shell_objects nodmark_tool_words nodmark_explain nodmark_reports
  nodmark_compare nodmark_seed nodmark_command_line)
foreach(library IN LISTS NODMARK_SHIPPED_LIBRARIES)
  get_target_property(sources ${library} SOURCES)
  get_target_property(source_dir ${library} SOURCE_DIR)
  get_target_property(binary_dir ${library} BINARY_DIR)
  file(RELATIVE_PATH build_dir ${CMAKE_BINARY_DIR} ${binary_dir})
  set(objects "")
  foreach(source IN LISTS sources)
    if(NOT source MATCHES "\\.cpp$")
      message(FATAL_ERROR "${library}: no shipped object for ${source}")
    endif()
    if(IS_ABSOLUTE ${source})
      file(RELATIVE_PATH source ${source_dir} ${source})
    endif()
    # CMake's name for an object: the source's path under the target's folder.
    string(REPLACE "../" "__/" source ${source})
    list(APPEND objects ${NODMARK_SHIPPED_DIR}/${build_dir}/CMakeFiles/${library}.dir/${source}.obj)
  endforeach()
  # Made by the shipped build, which the superbuild runs first: a test build is also
  # configured alone, without them (tests/scripts/host_plan_test.sh).
  set_source_files_properties(${objects} TARGET_DIRECTORY ${library}
                              PROPERTIES GENERATED ON EXTERNAL_OBJECT ON)
  set_property(TARGET ${library} PROPERTY SOURCES ${objects})
  get_target_property(type ${library} TYPE)
  if(type STREQUAL "OBJECT_LIBRARY")
    # An object library hands its consumers only the objects it compiles itself.
    set_property(TARGET ${library} APPEND PROPERTY INTERFACE_LINK_LIBRARIES ${objects})
  endif()
  set_target_properties(${library} PROPERTIES PRECOMPILE_HEADERS "" LINKER_LANGUAGE CXX)
endforeach()
