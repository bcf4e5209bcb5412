# FLTK 1.3: Debian's libfltk1.3-dev on Linux. Elsewhere (Windows), or with
# MERRIVANE_BUNDLED_FLTK (a Debian architecture whose FLTK package does not
# install), FLTK 1.3.11 is built from source with the program, statically
# and without OpenGL; on X11 without Xft, for the same reason. Give
# FETCHCONTENT_SOURCE_DIR_FLTK an unpacked copy to build without a network.
# Included before the project's own compile options, which are not FLTK's.
# Sets FLTK_INCLUDE_DIRS and the target fltk.
option(MERRIVANE_BUNDLED_FLTK "Build FLTK 1.3.11 from source with the program" ${WIN32})
if(NOT MERRIVANE_BUNDLED_FLTK)
  find_package(FLTK CONFIG REQUIRED)
  return()
endif()

include(FetchContent)
FetchContent_Declare(fltk
  GIT_REPOSITORY https://github.com/fltk/fltk.git
  GIT_TAG release-1.3.11)
FetchContent_GetProperties(fltk)
if(NOT fltk_POPULATED)
  FetchContent_Populate(fltk)
  set(OPTION_BUILD_SHARED_LIBS OFF CACHE BOOL "" FORCE)
  set(OPTION_USE_GL OFF CACHE BOOL "" FORCE)
  set(OPTION_USE_SYSTEM_ZLIB OFF CACHE BOOL "" FORCE)
  set(OPTION_USE_SYSTEM_LIBJPEG OFF CACHE BOOL "" FORCE)
  set(OPTION_USE_SYSTEM_LIBPNG OFF CACHE BOOL "" FORCE)
  set(FLTK_BUILD_TEST OFF CACHE BOOL "" FORCE)
  set(FLTK_BUILD_EXAMPLES OFF CACHE BOOL "" FORCE)
  set(OPTION_USE_XFT OFF CACHE BOOL "" FORCE)
  set(OPTION_USE_PANGO OFF CACHE BOOL "" FORCE)
  # only the libraries the program links are built
  add_subdirectory(${fltk_SOURCE_DIR} ${fltk_BINARY_DIR} EXCLUDE_FROM_ALL)
endif()
set(FLTK_INCLUDE_DIRS ${fltk_BINARY_DIR} ${fltk_SOURCE_DIR})
