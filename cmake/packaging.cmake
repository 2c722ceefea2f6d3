# What gets installed besides the program, and how CPack packs it: a Debian
# package of the dynamically linked build, a tarball of the static one, or a
# zip of the Windows one.

find_program(GZIP gzip REQUIRED)

# Compresses SOURCE into the build tree as NAME.gz, at the highest level and
# without a timestamp, as Debian installs documentation.
function(tree_data_gzip source name)
  set(output ${PROJECT_BINARY_DIR}/${name}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${PROJECT_BINARY_DIR}/${name}
    COMMAND ${GZIP} -9nf ${PROJECT_BINARY_DIR}/${name}
    DEPENDS ${source}
    VERBATIM)
  set_property(TARGET tree_data_docs APPEND PROPERTY SOURCES ${output})
endfunction()

add_custom_target(tree_data_docs ALL)
if(WIN32)
  # Windows has no man: the manual goes beside the program as a web page,
  # which mandoc renders the same way every time.
  find_program(MANDOC mandoc REQUIRED)
  set(manual ${PROJECT_BINARY_DIR}/tree_data.html)
  add_custom_command(OUTPUT ${manual}
    COMMAND ${MANDOC} -Thtml ${PROJECT_SOURCE_DIR}/man/tree_data.1 > ${manual}
    DEPENDS ${PROJECT_SOURCE_DIR}/man/tree_data.1)
  set_property(TARGET tree_data_docs APPEND PROPERTY SOURCES ${manual})
  install(FILES ${manual} DESTINATION .)
else()
  tree_data_gzip(${PROJECT_SOURCE_DIR}/man/tree_data.1 tree_data.1)
  install(FILES ${PROJECT_BINARY_DIR}/tree_data.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

if(WIN32 OR TREE_DATA_STATIC)
  # The Windows zip, the program with its manual, README and LICENSE in one
  # folder, or the portable tarball, README and LICENSE beside bin/ and
  # share/.
  install(FILES README.md LICENSE DESTINATION .)
  if(WIN32)
    set(CPACK_GENERATOR ZIP)
  else()
    set(CPACK_GENERATOR TGZ)
  endif()
else()
  # Debian's place for the licence, in its machine-readable form, and for
  # the changelog of a package that is its own upstream.
  file(READ LICENSE licence)
  string(REGEX REPLACE "\n$" "" licence "${licence}")
  string(REPLACE "\n\n" "\n.\n" licence "${licence}")
  string(REPLACE "\n" "\n " licence "${licence}")
  file(WRITE ${PROJECT_BINARY_DIR}/copyright
    "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
    "Upstream-Name: tree_data\n\n"
    "Files: *\n"
    "Copyright: 2026 the tree_data authors\n"
    "License: Expat\n ${licence}\n")
  tree_data_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog changelog)
  install(FILES ${PROJECT_BINARY_DIR}/copyright ${PROJECT_BINARY_DIR}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tree-data)
  set(CPACK_GENERATOR DEB)
endif()

set(CPACK_PACKAGE_NAME tree_data)
set(CPACK_PACKAGE_VENDOR "the tree_data authors")
set(CPACK_PACKAGE_CONTACT
    "the tree_data authors <maintainers@users.noreply.c-seed-3762489a.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "print the third field of every row of DataFile.csv")
set(CPACK_PACKAGE_DESCRIPTION
    "tree_data prints a heading line, then reads DataFile.csv from the
current directory and prints the integer in the third comma-separated field
of each row, one per line, in the order of the rows. Rows it cannot use are
skipped and reported on standard error, and the exit status says whether
any were.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# The machine as users name it: the cross toolchain's TREE_DATA_TARGET, which
# tells apart what the processor alone does not (armhf, armel).
if(TREE_DATA_TARGET)
  set(machine ${TREE_DATA_TARGET})
else()
  set(machine ${CMAKE_SYSTEM_PROCESSOR})
endif()
string(TOLOWER "${CMAKE_SYSTEM_NAME}-${machine}" platform)
set(CPACK_PACKAGE_FILE_NAME "tree_data-${PROJECT_VERSION}-${platform}")

# Debian's names cannot hold '_': the package is tree-data, the command
# stays tree_data. dpkg-shlibdeps works out the dependencies.
set(CPACK_DEBIAN_PACKAGE_NAME tree-data)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# Makes the same bytes from the same sources, whoever builds them.
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/repack.cmake)
include(CPack)
