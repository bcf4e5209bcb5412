# Installing on Linux, and the Debian package: the program, its desktop
# entry, icon, AppStream data and examples, and what Debian expects beside
# them: the licence in Debian's copyright format, a compressed changelog and
# a compressed manual page (gzip -n: no name, no time stamp).
include(GNUInstallDirs)
install(TARGETS merrivane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/merrivane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/merrivane.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES data/org.merrivane.merrivane.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

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

set(CPACK_PACKAGE_NAME merrivane)
set(CPACK_PACKAGE_VENDOR "The Merrivane developers")
set(CPACK_PACKAGE_CONTACT "The Merrivane developers <maintainers@merrivane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "spool line capacity calculator")
set(CPACK_PACKAGE_DESCRIPTION "Merrivane tells how many yards of line of a given width fit on a spool,\nfrom its width, outer and hub diameters, typed in or read from small\ntab-separated text files.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
