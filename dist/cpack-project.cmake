# Read by cpack for each generator it runs. The Debian package follows
# Debian's layout: the engine under /usr/games, the manual pages compressed,
# the copyright file and the changelog under /usr/share/doc/karvosel.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(ENV{KARVOSEL_PACKAGE_BINDIR} games)
  set(CPACK_PRE_BUILD_SCRIPTS ${CPACK_KARVOSEL_DEBIAN_DIR}/staging.cmake)
endif()
