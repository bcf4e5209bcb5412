# Windows: a GUI program (no console window) with its icon, installed by an
# NSIS installer with a Start-menu shortcut, a licence page and an
# uninstaller, and the same files as a zip.
enable_language(RC)
configure_file(data/merrivane.manifest.in merrivane.manifest @ONLY)
configure_file(data/merrivane.rc.in merrivane.rc @ONLY)
target_sources(merrivane PRIVATE ${PROJECT_BINARY_DIR}/merrivane.rc)
# windres reads the manifest when the resources are compiled
set_source_files_properties(${PROJECT_BINARY_DIR}/merrivane.rc PROPERTIES
  OBJECT_DEPENDS "${PROJECT_BINARY_DIR}/merrivane.manifest;${PROJECT_SOURCE_DIR}/data/merrivane.ico")
set_target_properties(merrivane PROPERTIES WIN32_EXECUTABLE ON)

install(TARGETS merrivane RUNTIME DESTINATION bin)
install(FILES LICENSE DESTINATION .)
install(DIRECTORY examples/ DESTINATION examples)

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME merrivane)
set(CPACK_PACKAGE_VENDOR "The Merrivane developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Merrivane, the spool line capacity calculator")
set(CPACK_PACKAGE_FILE_NAME merrivane-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Merrivane)
set(CPACK_PACKAGE_EXECUTABLES merrivane Merrivane)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_NSIS_PACKAGE_NAME Merrivane)
set(CPACK_NSIS_DISPLAY_NAME Merrivane)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/data/merrivane.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/data/merrivane.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME bin\\\\merrivane.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# a 64-bit installer for a 64-bit program; installed files get the time
# they are installed at, so the installer holds no build time (CPack writes
# some of its files afresh on every run); drawn sharp at the system's
# scale, not stretched
set(CPACK_NSIS_DEFINES "Target amd64-unicode\nSetDateSave off\nManifestDPIAware true")
include(CPack)
