# Run by CPack once it has made a package: makes it again so that the same
# sources give the same bytes whoever builds them, wherever and whenever.
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
#
# Debian package: CPack counts each staged directory's size on disk into
# Installed-Size, which differs from one file system to another. Here the
# package is unpacked, Installed-Size is counted as dpkg-gencontrol counts it
# (each file's size in KiB rounded up, 1 for anything else), and dpkg-deb
# packs it again, with root as owner and times from SOURCE_DATE_EPOCH.

# How tar packs the tarball's staged tree.
set(tarOptions --sort=name --format=gnu --owner=0 --group=0 --numeric-owner
               --mode=u+rwX,go+rX,go-w)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  list(APPEND tarOptions --mtime=@$ENV{SOURCE_DATE_EPOCH})
endif()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "\\.zip$")
    # Debian's own, whoever packs: the same zip module and zlib every time.
    find_program(PYTHON3 python3 HINTS /usr/bin REQUIRED)
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
  elseif(package MATCHES "\\.deb$")
    set(tree ${CPACK_TOPLEVEL_DIRECTORY}/repack)
    file(REMOVE_RECURSE ${tree})
    execute_process(COMMAND dpkg-deb --raw-extract ${package} ${tree}
                    COMMAND_ERROR_IS_FATAL ANY)
    set(size 1) # the package's root
    file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${tree} ${tree}/*)
    foreach(entry IN LISTS entries)
      if(entry MATCHES "^DEBIAN(/|$)")
        continue()
      elseif(IS_DIRECTORY ${tree}/${entry})
        math(EXPR size "${size} + 1")
      else()
        file(SIZE ${tree}/${entry} bytes)
        math(EXPR size "${size} + (${bytes} + 1023) / 1024")
      endif()
    endforeach()
    file(READ ${tree}/DEBIAN/control control)
    string(REGEX REPLACE "Installed-Size: [0-9]+" "Installed-Size: ${size}"
           control "${control}")
    file(WRITE ${tree}/DEBIAN/control "${control}")
    execute_process(COMMAND dpkg-deb --root-owner-group --build ${tree} ${package}
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
