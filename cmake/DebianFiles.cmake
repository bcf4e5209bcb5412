# What a Debian system expects beside the program: the licence in Debian's
# copyright format, a compressed changelog and a compressed manual page.
# Compressed reproducibly (gzip -n: no name, no time stamp).
find_program(GZIP gzip REQUIRED)

function(merrivane_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND ${GZIP} -9n -c ${source} > ${output}
    DEPENDS ${source} VERBATIM)
endfunction()

set(_gen ${PROJECT_BINARY_DIR}/share)
file(MAKE_DIRECTORY ${_gen})
merrivane_gzip(${PROJECT_SOURCE_DIR}/docs/merrivane.1 ${_gen}/merrivane.1.gz)
merrivane_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog ${_gen}/changelog.gz)
add_custom_target(merrivane_docs ALL DEPENDS ${_gen}/merrivane.1.gz ${_gen}/changelog.gz)

install(FILES ${_gen}/merrivane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_gen}/changelog.gz packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Debian strips these as well as the symbols.
if(CMAKE_OBJCOPY)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment --remove-section=.note
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/merrivane\")
    endif()")
endif()
