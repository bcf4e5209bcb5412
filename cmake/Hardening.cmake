# The hardening Debian builds its packages with: what dpkg-buildflags gives
# with hardening=+all for the target architecture, less its optimisation,
# debug and path-mapping flags, which the build type and the build decide.
# On Debian 12 that is the stack protector, format checks, fortified libc
# calls and read-only relocations bound at start-up; Debian 13 adds stack
# clash protection and control-flow protection (-fcf-protection on x86,
# -mbranch-protection on arm64). Fortify level 3 instead of dpkg's 2: at
# level 2 nothing in this program is fortifiable, and only level 3 checks
# reads into a buffer at a running offset. Where there is no dpkg-buildflags
# the Debian 12 set is applied as written below.
# Optimised ELF builds only; the sanitizers bring their own checks.
if(WIN32 OR MERRIVANE_SANITIZE OR MERRIVANE_FUZZ)
  return()
endif()

function(merrivane_debian_flags kind out)
  set(arch_env)
  if(CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
    set(arch_env DEB_HOST_ARCH=${CPACK_DEBIAN_PACKAGE_ARCHITECTURE})
  endif()
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all ${arch_env}
      ${DPKG_BUILDFLAGS} --get ${kind}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^(-g.*|-O.*|-f(file|debug|macro)-prefix-map=.*)$")
  list(TRANSFORM flags REPLACE "^-D_FORTIFY_SOURCE=[0-9]+$" "-D_FORTIFY_SOURCE=3")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(DPKG_BUILDFLAGS)
  merrivane_debian_flags(CPPFLAGS cppflags)
  merrivane_debian_flags(CXXFLAGS cxxflags)
  merrivane_debian_flags(LDFLAGS ldflags)
else()
  set(cppflags -D_FORTIFY_SOURCE=3)
  set(cxxflags -fstack-protector-strong -Wformat -Werror=format-security)
  set(ldflags -Wl,-z,relro -Wl,-z,now)
endif()
string(REPLACE ";" " " _shown "${cppflags};${cxxflags};${ldflags}")
message(STATUS "Hardening: ${_shown}")

set(_optimised $<OR:$<CONFIG:Release>,$<CONFIG:RelWithDebInfo>,$<CONFIG:MinSizeRel>>)
foreach(flag IN LISTS cppflags cxxflags)
  add_compile_options($<${_optimised}:${flag}>)
endforeach()
foreach(flag IN LISTS ldflags)
  add_link_options($<${_optimised}:${flag}>)
endforeach()
