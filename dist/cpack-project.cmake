# Read by cpack for each generator it runs. The Debian package follows
# Debian's layout: under /usr, the engine under /usr/games, the manual pages
# compressed, the copyright file and the changelog under
# /usr/share/doc/karvosel. The other generators make archives of the plain
# install, which may be unpacked anywhere: their plugin entry names the
# program for a PATH search.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(ENV{KARVOSEL_PACKAGE_BINDIR} games)
  unset(ENV{KARVOSEL_ENTRY_COMMAND})
  set(CPACK_PRE_BUILD_SCRIPTS ${CPACK_KARVOSEL_DEBIAN_DIR}/staging.cmake)
else()
  unset(ENV{KARVOSEL_PACKAGE_BINDIR})
  set(ENV{KARVOSEL_ENTRY_COMMAND} karvosel)
endif()
