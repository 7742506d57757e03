# nodmark_copy_dll_beside(target dir what): a target that keeps a copy of the built
# nodmark.dll in `dir`, for programs that load it from beside themselves.
function(nodmark_copy_dll_beside target dir what)
  set(copy ${dir}/nodmark.dll)
  add_custom_command(
    OUTPUT ${copy}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:nodmark> ${copy}
    DEPENDS $<TARGET_FILE:nodmark>
    COMMENT "nodmark.dll beside ${what}")
  add_custom_target(${target} ALL DEPENDS ${copy})
endfunction()
