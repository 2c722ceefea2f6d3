# Cross-compiles for Linux on another processor with Debian's g++-TRIPLE, and
# runs what it builds (tests, test discovery) under that processor's program
# from qemu-user, with the cross C library as its root. No binfmt handler is
# needed or registered. TREE_DATA_TARGET names the target: a name from the
# table packaging/linux-targets, which gives its triple, processor and qemu.
set(TREE_DATA_TARGET "$ENV{TREE_DATA_TARGET}" CACHE STRING
    "The target Linux system, a name from packaging/linux-targets")
# The checks that CMake compiles read this file again: pass the name on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TREE_DATA_TARGET)

# The table's one reader, packaging/linux-targets.bash, takes its columns by
# name and checks its rows.
get_filename_component(sourceRoot ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
execute_process(
  COMMAND bash -c ". packaging/linux-targets.bash && linuxTargets name triple processor qemu"
  WORKING_DIRECTORY ${sourceRoot}
  OUTPUT_VARIABLE rows
  RESULT_VARIABLE readStatus)
if(NOT readStatus EQUAL 0)
  message(FATAL_ERROR "packaging/linux-targets could not be read")
endif()
string(STRIP "${rows}" rows)
string(REPLACE "\n" ";" rows "${rows}")
foreach(row IN LISTS rows)
  string(REPLACE " " ";" fields "${row}")
  list(GET fields 0 name)
  if(name STREQUAL TREE_DATA_TARGET)
    list(GET fields 1 triple)
    list(GET fields 2 CMAKE_SYSTEM_PROCESSOR)
    list(GET fields 3 qemu)
  endif()
endforeach()
if(NOT triple OR qemu STREQUAL "-")
  message(FATAL_ERROR "TREE_DATA_TARGET is '${TREE_DATA_TARGET}'; set it to the "
                      "name of a foreign target in packaging/linux-targets")
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
