# Run by CPack once it has made a package: adds the program's SBOM,
# tree_data.cdx.json, beside the program, and makes the package again so
# that the same sources give the same bytes whoever builds them, wherever and
# whenever. The SBOM also goes beside the package, named as it is.
#
# Tarball: CPack takes the members' order from the directory listing, their
# owner from the builder and their modes from the umask. Here members are
# sorted by name and owned by 0:0, directories and programs are 0755 and other
# files 0644, times come from SOURCE_DATE_EPOCH where it is set, and gzip
# records no name or time.
#
# Zip: CPack takes the members' order from the directory listing and their
# times, in local time, from the files. Here cmake/repack_zip.py packs them
# sorted, at SOURCE_DATE_EPOCH in UTC, with modes as for the tarball.

# How tar packs the tarball's staged tree.
set(tarOptions --sort=name --format=gnu --owner=0 --group=0 --numeric-owner
               --mode=u+rwX,go+rX,go-w)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  list(APPEND tarOptions --mtime=@$ENV{SOURCE_DATE_EPOCH})
endif()

find_program(PYTHON3 python3 HINTS /usr/bin REQUIRED)
set(staged ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME})
execute_process(
  COMMAND ${PYTHON3} ${CPACK_TREE_DATA_SBOM}
          --map ${CPACK_TREE_DATA_LINK_MAP}
          --binary ${staged}/${CPACK_TREE_DATA_PROGRAM}
          --version ${CPACK_PACKAGE_VERSION}
          --target ${CPACK_TREE_DATA_TARGET}
          --processor ${CPACK_TREE_DATA_PROCESSOR}
          --artefact ${CPACK_PACKAGE_FILE_NAME}
          --output ${staged}/tree_data.cdx.json
  COMMAND_ERROR_IS_FATAL ANY)

# CPack copies the package, once this has run, into the folder where it
# puts packages: the SBOM goes there itself.
file(COPY_FILE ${staged}/tree_data.cdx.json
     ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.cdx.json)

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "\\.zip$")
    # Debian's own, whoever packs: the same zip module and zlib every time.
    file(REMOVE ${package})
    execute_process(
      COMMAND ${PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/repack_zip.py
              ${CPACK_TOPLEVEL_DIRECTORY} ${CPACK_PACKAGE_FILE_NAME} ${package}
      COMMAND_ERROR_IS_FATAL ANY)
  elseif(package MATCHES "\\.tar\\.gz$")
    execute_process(
      COMMAND tar ${tarOptions} -C ${CPACK_TOPLEVEL_DIRECTORY}
              -cf - ${CPACK_PACKAGE_FILE_NAME}
      COMMAND gzip -9n
      OUTPUT_FILE ${package}
      COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
