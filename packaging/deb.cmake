# The Debian package: `cmake --build build --target package` writes
# build/quillon_<version>_<arch>.deb. It holds what `cmake --install` puts into
# /opt/QUILLON (the program, its help, sound and icon) and, under /usr/share, the desktop
# entry, the icon theme sizes and the AppStream metainfo. Its run-time dependencies are
# the ones dpkg-shlibdeps finds in the programs; the Qt plugins the program loads at run
# time (xcb, ico, printing, sound) come with those same Qt library packages.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VENDOR QUILLON)
set(CPACK_PACKAGE_CONTACT "QUILLON <dev@quillon.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Record, plot and save the readings of a hand-held digital multimeter")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "QUILLON listens to a hand-held digital multimeter on a serial line (RS-232 or a
USB-serial adapter), shows its readings on a large readout, records them at a fixed
interval with MAX, MIN and AVG, plots a trend graph, sounds an alarm outside set
limits, starts recordings on a schedule, and saves, reopens and prints CSV reports.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

# The program folder is the prefix; the desktop files go to absolute /usr/share paths,
# which only a DESTDIR install keeps inside the package.
set(CPACK_PACKAGING_INSTALL_PREFIX /opt/QUILLON)
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Native Wayland windows, and fonts metric-compatible with the window's Arial and Times.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups")

# Read by cpack when it packs: the desktop files of the package go to /usr/share.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack_options.cmake)

include(CPack)
