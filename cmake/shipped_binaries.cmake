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
