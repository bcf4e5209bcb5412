# Which FLTK the program builds on, and how it is found. Sets
# MERRIVANE_FLTK_VERSION and the target merrivane_fltk, which everything
# that draws links.
#
# - Debian's FLTK, 1.3.8 or later 1.3 (libfltk1.3-dev), through its CMake
#   package; the one this program is written for.
# - FLTK 1.4.3 or later 1.4, where it is what the machine has: through its
#   CMake package (target fltk::fltk) from 1.4.4 on, where every file it
#   names is there; otherwise fltk-config gives the flags. Debian 13's 1.4.3
#   package cannot even be loaded (it declares fltk::fluid twice, Debian bug
#   1112001).
# - Elsewhere (Windows), or with MERRIVANE_BUNDLED_FLTK (a Debian
#   architecture whose FLTK package does not install), FLTK built from
#   source with the program as FLTKOptions.cmake says: 1.4.5 on Windows,
#   where it follows the screen's scale and each monitor's; 1.3.11
#   elsewhere, on X11 without Xft for the same reason (1.4.5 so built for
#   s390x draws and scales, but ignores its own zoom keys). Give
#   FETCHCONTENT_SOURCE_DIR_FLTK an unpacked copy to build without a
#   network. scripts/windows.sh builds that FLTK once on its own and hands
#   it to the installed route (CMAKE_FIND_ROOT_PATH).
#
# Included before the project's own compile options, which are not FLTK's.
option(MERRIVANE_BUNDLED_FLTK "Build FLTK from source with the program" ${WIN32})
if(WIN32)
  set(MERRIVANE_BUNDLED_FLTK_VERSION 1.4.5 CACHE STRING "The FLTK built with the program")
else()
  set(MERRIVANE_BUNDLED_FLTK_VERSION 1.3.11 CACHE STRING "The FLTK built with the program")
endif()
add_library(merrivane_fltk INTERFACE)

if(MERRIVANE_BUNDLED_FLTK)
  include(FetchContent)
  FetchContent_Declare(fltk
    GIT_REPOSITORY https://github.com/fltk/fltk.git
    GIT_TAG release-${MERRIVANE_BUNDLED_FLTK_VERSION})
  FetchContent_GetProperties(fltk)
  if(NOT fltk_POPULATED)
    FetchContent_Populate(fltk)
    include(${CMAKE_CURRENT_LIST_DIR}/FLTKOptions.cmake)
    # only the libraries the program links are built
    add_subdirectory(${fltk_SOURCE_DIR} ${fltk_BINARY_DIR} EXCLUDE_FROM_ALL)
  endif()
  set(MERRIVANE_FLTK_VERSION ${MERRIVANE_BUNDLED_FLTK_VERSION})
  target_include_directories(merrivane_fltk SYSTEM INTERFACE ${fltk_BINARY_DIR} ${fltk_SOURCE_DIR})
  target_link_libraries(merrivane_fltk INTERFACE fltk)
  return()
endif()

# The version the headers declare, read before any of FLTK's own CMake
# files is loaded: one that cannot be loaded stops the configure outright.
find_path(MERRIVANE_FLTK_INCLUDE_DIR FL/Enumerations.H)
if(NOT MERRIVANE_FLTK_INCLUDE_DIR)
  message(FATAL_ERROR "FLTK not found: Merrivane needs FLTK 1.3.8 or later 1.3 (on Debian: libfltk1.3-dev), or FLTK 1.4.3 or later 1.4")
endif()
file(STRINGS ${MERRIVANE_FLTK_INCLUDE_DIR}/FL/Enumerations.H _fltk_version_lines
  REGEX "^#define FL_(MAJOR|MINOR|PATCH)_VERSION[ \t]+[0-9]+")
foreach(_part MAJOR MINOR PATCH)
  string(REGEX REPLACE ".*#define FL_${_part}_VERSION[ \t]+([0-9]+).*" "\\1" _fltk_${_part} "${_fltk_version_lines}")
endforeach()
set(MERRIVANE_FLTK_VERSION ${_fltk_MAJOR}.${_fltk_MINOR}.${_fltk_PATCH})
message(STATUS "FLTK ${MERRIVANE_FLTK_VERSION} (${MERRIVANE_FLTK_INCLUDE_DIR}/FL)")

# The files an imported target names that are not there: Debian's 1.4.4
# names libraries and headers of development packages it does not depend on.
function(merrivane_fltk_missing target result)
  get_target_property(dirs ${target} INTERFACE_INCLUDE_DIRECTORIES)
  get_target_property(libs ${target} INTERFACE_LINK_LIBRARIES)
  set(missing)
  foreach(item IN LISTS dirs libs)
    if(IS_ABSOLUTE "${item}" AND NOT EXISTS "${item}")
      list(APPEND missing ${item})
    endif()
  endforeach()
  set(${result} "${missing}" PARENT_SCOPE)
endfunction()

set(_fltk_config OFF)
if(MERRIVANE_FLTK_VERSION VERSION_GREATER_EQUAL 1.3.8 AND MERRIVANE_FLTK_VERSION VERSION_LESS 1.4)
  find_package(FLTK CONFIG REQUIRED)
  target_include_directories(merrivane_fltk SYSTEM INTERFACE ${FLTK_INCLUDE_DIRS})
  target_link_libraries(merrivane_fltk INTERFACE fltk)
elseif(MERRIVANE_FLTK_VERSION VERSION_GREATER_EQUAL 1.4.4 AND MERRIVANE_FLTK_VERSION VERSION_LESS 1.5)
  find_package(FLTK CONFIG REQUIRED)
  merrivane_fltk_missing(fltk::fltk _fltk_missing)
  if(_fltk_missing)
    list(JOIN _fltk_missing " " _fltk_missing)
    message(STATUS "FLTK's CMake package names what is not installed (${_fltk_missing}): taking fltk-config's flags")
    set(_fltk_config ON)
  else()
    target_link_libraries(merrivane_fltk INTERFACE fltk::fltk)
  endif()
elseif(MERRIVANE_FLTK_VERSION VERSION_EQUAL 1.4.3)
  set(_fltk_config ON)
else()
  message(FATAL_ERROR "FLTK ${MERRIVANE_FLTK_VERSION} found (${MERRIVANE_FLTK_INCLUDE_DIR}/FL): Merrivane needs FLTK 1.3.8 or later 1.3, or FLTK 1.4.3 or later 1.4")
endif()

if(_fltk_config)
  find_program(MERRIVANE_FLTK_CONFIG fltk-config REQUIRED)
  foreach(_what cxxflags ldflags)
    execute_process(COMMAND ${MERRIVANE_FLTK_CONFIG} --${_what}
      OUTPUT_VARIABLE _fltk_${_what} OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(_fltk_${_what} UNIX_COMMAND "${_fltk_${_what}}")
  endforeach()
  foreach(_flag IN LISTS _fltk_cxxflags)
    if(_flag MATCHES "^-I(.+)")
      target_include_directories(merrivane_fltk SYSTEM INTERFACE ${CMAKE_MATCH_1})
    else()
      target_compile_options(merrivane_fltk INTERFACE ${_flag})
    endif()
  endforeach()
  target_link_libraries(merrivane_fltk INTERFACE ${_fltk_ldflags})
endif()
