# What gets installed besides the program, and how CPack packs the portable
# builds: a tarball of the static one, or a zip of the Windows one.

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

# The Debian package of the dynamically linked build is made by debhelper
# (debian/), which installs it with the rules above: the rest packs the
# portable builds.
if(NOT WIN32 AND NOT TREE_DATA_STATIC)
  return()
endif()

# The Windows zip, the program with its manual, README and LICENSE in one
# folder, or the portable tarball, README and LICENSE beside bin/ and share/.
install(FILES README.md LICENSE DESTINATION .)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR TGZ)
endif()

set(CPACK_PACKAGE_NAME tree_data)
set(CPACK_PACKAGE_VENDOR "the tree_data authors")
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

# What the SBOM that goes with the program is made from: the link's map, the
# program as packed (stripped), and the target.
set(CPACK_TREE_DATA_SBOM ${PROJECT_SOURCE_DIR}/packaging/sbom)
set(CPACK_TREE_DATA_LINK_MAP ${TREE_DATA_LINK_MAP})
if(WIN32)
  set(CPACK_TREE_DATA_PROGRAM tree_data.exe)
else()
  set(CPACK_TREE_DATA_PROGRAM bin/tree_data)
endif()
set(CPACK_TREE_DATA_TARGET ${platform})
set(CPACK_TREE_DATA_PROCESSOR ${CMAKE_SYSTEM_PROCESSOR})

# Adds the SBOM, and makes the same bytes from the same sources, whoever
# builds them.
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/repack.cmake)
include(CPack)
