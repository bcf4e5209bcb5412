# The hardening Debian builds its packages with (dpkg-buildflags with
# hardening=+all): fortified libc calls, stack protector, format checks,
# read-only relocations bound at start-up. Fortify level 3 (Debian's default
# from trixie on) also checks reads into a buffer at a running offset.
# Optimised ELF builds only; the sanitizers bring their own checks.
if(WIN32 OR MERRIVANE_SANITIZE OR MERRIVANE_FUZZ)
  return()
endif()
set(_optimised $<OR:$<CONFIG:Release>,$<CONFIG:RelWithDebInfo>,$<CONFIG:MinSizeRel>>)
add_compile_definitions($<${_optimised}:_FORTIFY_SOURCE=3>)
add_compile_options($<${_optimised}:-fstack-protector-strong> -Wformat -Werror=format-security)
add_link_options($<${_optimised}:LINKER:-z,relro,-z,now>)
