# Run by cpack in the Debian package's staging tree, after the install rules
# and before the archive is made: what Debian asks of a package beyond them.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
set(root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(doc "${root}/share/doc/${CPACK_PACKAGE_NAME}")
set(version "${CPACK_PACKAGE_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}")

# The changelog's latest entry names the version being packaged.
file(STRINGS "${CPACK_KARVOSEL_DEBIAN_DIR}/changelog" latest LIMIT_COUNT 1)
string(FIND "${latest}" "${CPACK_PACKAGE_NAME} (${version}) " at)
if(NOT at EQUAL 0)
  message(FATAL_ERROR "dist/debian/changelog begins with '${latest}', not version ${version}")
endif()

# Compressed as Debian wants them: best compression, no name or time stamp
# inside, so that the same sources give the same package.
function(compress_into source target)
  execute_process(COMMAND gzip -9 -n -c "${source}" OUTPUT_FILE "${target}"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${source} failed")
  endif()
endfunction()

file(GLOB pages "${root}/share/man/man*/*.[1-9]")
foreach(page ${pages})
  compress_into("${page}" "${page}.gz")
  file(REMOVE "${page}")
endforeach()

file(MAKE_DIRECTORY "${doc}")
compress_into("${CPACK_KARVOSEL_DEBIAN_DIR}/changelog" "${doc}/changelog.Debian.gz")

# The copyright file in Debian's machine-readable form, with the licence
# text of LICENSE below its header.
file(READ "${CPACK_RESOURCE_FILE_LICENSE}" licence)
string(REGEX REPLACE "^.*\n(Permission is hereby granted)" "\\1" licence "${licence}")
string(STRIP "${licence}" licence)
string(REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " licence "${licence}")
file(READ "${CPACK_KARVOSEL_DEBIAN_DIR}/copyright.head" head)
file(WRITE "${doc}/copyright" "${head} ${licence}\n")

# Ownership is root's in the archive; modes are set here whatever the umask
# of the build: directories and programs 0755, everything else 0644.
file(CHMOD_RECURSE "${CPACK_TEMPORARY_INSTALL_DIRECTORY}"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
     DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                           WORLD_READ WORLD_EXECUTE)
file(GLOB programs "${root}/games/*")
file(CHMOD ${programs} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                   WORLD_READ WORLD_EXECUTE)
