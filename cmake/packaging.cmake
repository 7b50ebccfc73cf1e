# `cpack -G DEB` in the build folder makes a Debian package of what `cmake --install` puts in place.
set(CPACK_PACKAGE_NAME kestrel)
set(CPACK_PACKAGE_VENDOR "Kestrel")
set(CPACK_PACKAGE_CONTACT "Kestrel maintainers <kestrel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Programs a PIC16F microcontroller through its serial bootloader")
set(CPACK_PACKAGE_DESCRIPTION "Kestrel imports an Intel HEX file, connects to the bootloader in a
PIC16F877A over a serial port, programs flash and EEPROM and starts the new program.
kestrel-sim, a bootloader simulator on a pseudo-terminal, comes with it.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded as plugins, so shlibdeps cannot see them: the window's platform and the SVG icons.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
include(CPack)
