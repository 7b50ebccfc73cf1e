# `cpack -G DEB` in the build folder makes a Debian package of what `cmake --install` puts in place.
set(KESTREL_MAINTAINER
    "Seed b9ad823e maintainers <maintainers@users.noreply.c-seed-b9ad823e.example>"
    CACHE STRING "The package's maintainer: Name <address>")
set(CPACK_PACKAGE_NAME kestrel)
set(CPACK_PACKAGE_VENDOR "Kestrel")
set(CPACK_PACKAGE_CONTACT "${KESTREL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Programs a PIC16F microcontroller through its serial bootloader")
set(CPACK_PACKAGE_DESCRIPTION "Kestrel imports an Intel HEX file, connects to the bootloader in
a PIC16F877A over a serial port, programs flash and EEPROM and starts the new
program. kestrel-cli does the same from the command line, and kestrel-sim, a
bootloader simulator on a pseudo-terminal, comes with them.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded as plugins, so shlibdeps cannot see them: the window's platform and the SVG icons.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
include(CPack)

# The documents Debian asks of a package, installed by `cmake --install` too: the copyright, the
# changelog and the manual pages, these two compressed as Debian compresses them.
if(UNIX)
  configure_file(cmake/debian/changelog.in debian/changelog @ONLY)
  set(compressed)
  foreach(document ${CMAKE_BINARY_DIR}/debian/changelog
                   ${PROJECT_SOURCE_DIR}/docs/man/Kestrel.1
                   ${PROJECT_SOURCE_DIR}/docs/man/kestrel-cli.1
                   ${PROJECT_SOURCE_DIR}/docs/man/kestrel-sim.1)
    get_filename_component(name ${document} NAME)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/debian/${name}.gz
      COMMAND gzip -9n -c ${document} > ${CMAKE_BINARY_DIR}/debian/${name}.gz
      DEPENDS ${document} VERBATIM)
    list(APPEND compressed ${CMAKE_BINARY_DIR}/debian/${name}.gz)
  endforeach()
  add_custom_target(kestrel_documents ALL DEPENDS ${compressed})
  set(doc ${CMAKE_INSTALL_DATADIR}/doc/kestrel)
  install(FILES cmake/debian/copyright ${CMAKE_BINARY_DIR}/debian/changelog.gz DESTINATION ${doc})
  install(FILES ${CMAKE_BINARY_DIR}/debian/Kestrel.1.gz ${CMAKE_BINARY_DIR}/debian/kestrel-cli.1.gz
                ${CMAKE_BINARY_DIR}/debian/kestrel-sim.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
