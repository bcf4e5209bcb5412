# Builds that anyone can repeat bit for bit from the same commit: the one
# time written into the packages is the last commit's (SOURCE_DATE_EPOCH
# where the environment sets it, else from git, else a fixed date outside a
# checkout), no path of the folders built in is kept in what is compiled,
# and Windows programs carry no link time.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(MERRIVANE_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE MERRIVANE_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT MERRIVANE_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  set(MERRIVANE_SOURCE_DATE_EPOCH 1765152000) # 2025-12-08, the first release
endif()

# the last map that matches wins: the build folder may lie inside the sources
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.
  -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
if(WIN32)
  add_link_options(LINKER:--no-insert-timestamp)
endif()

# CPack's archives (.deb, .zip) take their file times from the variable,
# the zip's in local time, so in UTC whatever the builder's time zone; the
# NSIS installer keeps none (WindowsPackage.cmake).
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/CPackReproducible.cmake CONTENT
  "set(ENV{SOURCE_DATE_EPOCH} ${MERRIVANE_SOURCE_DATE_EPOCH})\nset(ENV{TZ} UTC0)\n")
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackReproducible.cmake)
