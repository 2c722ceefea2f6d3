# The version is written once, in the newest entry of debian/changelog, from
# which dpkg takes the package's. Sets TREE_DATA_VERSION to it, and stops
# when the manual's heading or a file name in the README names another.
set(changelog ${CMAKE_CURRENT_LIST_DIR}/../debian/changelog)
file(STRINGS ${changelog} newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^tree-data \\(([0-9]+\\.[0-9]+\\.[0-9]+)\\)")
  message(FATAL_ERROR "debian/changelog: its newest entry names no version X.Y.Z: ${newest}")
endif()
set(TREE_DATA_VERSION ${CMAKE_MATCH_1})

# check_version FILE PATTERN: every match of PATTERN in FILE, whose first
# group is a version, names TREE_DATA_VERSION.
function(check_version file pattern)
  file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../${file} lines REGEX "${pattern}")
  foreach(line IN LISTS lines)
    string(REGEX MATCHALL "${pattern}" names "${line}")
    foreach(name IN LISTS names)
      string(REGEX MATCH "${pattern}" name "${name}")
      if(NOT CMAKE_MATCH_1 STREQUAL TREE_DATA_VERSION)
        message(FATAL_ERROR "${file} names version ${CMAKE_MATCH_1} (${name}), where "
                            "debian/changelog's newest entry is ${TREE_DATA_VERSION}")
      endif()
    endforeach()
  endforeach()
endfunction()
check_version(man/tree_data.1 "^\\.TH .*\"tree_data ([^\"]*)\"")
check_version(README.md "tree[-_]data[-_a-z]*[-_]([0-9][0-9.]*[0-9])")
