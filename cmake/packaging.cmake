# The ZIP a Windows user takes away, made from the win32 build's install rules:
#   cmake --build --preset win32 && (cd build/win32 && cpack)
# gives build/win32/nodmark-<version>-win32.zip with one top folder of that name.
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME nodmark)
set(CPACK_PACKAGE_VENDOR nodmark)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "In-process automation component that tells its host three identifiers of the machine")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME nodmark-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES OFF)  # the release DLL is linked stripped already
include(CPack)
