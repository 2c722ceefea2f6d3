# Cross-compiles for Linux on another processor with Debian's g++-TRIPLE, and
# runs what it builds (tests, test discovery) under that processor's program
# from qemu-user, with the cross C library as its root. No binfmt handler is
# needed or registered. TREE_DATA_TARGET names the target: a name from the
# table packaging/linux-targets, which gives its triple, processor and qemu.
set(TREE_DATA_TARGET "$ENV{TREE_DATA_TARGET}" CACHE STRING
    "The target Linux system, a name from packaging/linux-targets")
# The checks that CMake compiles read this file again: pass the name on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TREE_DATA_TARGET)

# Its first line that is not a comment or blank names the columns; a row
# with more or fewer stops the build at its line.
get_filename_component(table ${CMAKE_CURRENT_LIST_DIR}/../packaging/linux-targets ABSOLUTE)
file(READ ${table} text)
# A list splits at semicolons and keeps brackets together, which only its
# comments hold.
string(REGEX REPLACE "[][;]" "," text "${text}")
string(REPLACE "\n" ";" lines "${text}")
set(number 0)
unset(columns)
foreach(line IN LISTS lines)
  math(EXPR number "${number} + 1")
  if(line MATCHES "^[ \t]*(#|$)")
    continue()
  endif()
  string(REGEX MATCHALL "[^ \t]+" fields "${line}")
  list(LENGTH fields count)
  if(NOT DEFINED columns)
    set(columns ${count})
    continue()
  elseif(NOT count EQUAL columns)
    message(FATAL_ERROR "${table}:${number}: ${count} columns, where the header names ${columns}")
  endif()
  list(GET fields 0 name)
  if(name STREQUAL TREE_DATA_TARGET)
    list(GET fields 1 triple)
    list(GET fields 3 CMAKE_SYSTEM_PROCESSOR)
    list(GET fields 4 qemu)
  endif()
endforeach()
if(NOT triple OR qemu STREQUAL "-")
  message(FATAL_ERROR "TREE_DATA_TARGET is '${TREE_DATA_TARGET}'; set it to the "
                      "name of a foreign target in ${table}")
endif()
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${triple}-gcc)
set(CMAKE_CXX_COMPILER ${triple}-g++)

# Libraries and headers come from the cross sysroot only; programs (gzip,
# strace, valgrind) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(TREE_DATA_QEMU ${qemu})
if(NOT TREE_DATA_QEMU)
  message(FATAL_ERROR "${qemu} not found: install Debian's qemu-user")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${TREE_DATA_QEMU} -L /usr/${triple})
