# Warnings are errors in every build of the project's own code. Third-party code
# (GoogleTest built from source for the win32 tests) does not link this target.
add_library(nodmark_warnings INTERFACE)
target_compile_options(nodmark_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion -Werror)
