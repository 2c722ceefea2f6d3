# Cross-compiles for Linux on another processor with Debian's g++-TRIPLE, and
# runs what it builds (tests, test discovery) under that processor's program
# from qemu-user, with the cross C library as its root. No binfmt handler is
# needed or registered. TREE_DATA_TRIPLE names the target, one of the GNU
# triples below.
set(TREE_DATA_TRIPLE "" CACHE STRING "GNU triple of the target Linux system")
# The checks that CMake compiles read this file again: pass the triple on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TREE_DATA_TRIPLE)

# triple, processor (as CMake names it), qemu program, and the machine's
# name in the artefacts, which tells the two ARM ABIs apart where uname -m
# cannot.
set(targets
  "aarch64-linux-gnu        aarch64  qemu-aarch64  aarch64"
  "i686-linux-gnu           i686     qemu-i386     i686"
  "arm-linux-gnueabihf      arm      qemu-arm      armhf"
  "arm-linux-gnueabi        arm      qemu-arm      armel"
  "powerpc64le-linux-gnu    ppc64le  qemu-ppc64le  ppc64le"
  "s390x-linux-gnu          s390x    qemu-s390x    s390x"
  "riscv64-linux-gnu        riscv64  qemu-riscv64  riscv64"
  "mips64el-linux-gnuabi64  mips64   qemu-mips64el mips64el")
foreach(target IN LISTS targets)
  string(REGEX MATCHALL "[^ ]+" fields "${target}")
  list(GET fields 0 triple)
  if(triple STREQUAL TREE_DATA_TRIPLE)
    list(GET fields 1 CMAKE_SYSTEM_PROCESSOR)
    list(GET fields 2 qemu)
    list(GET fields 3 TREE_DATA_ARCH)
    break()
  endif()
endforeach()
if(NOT TREE_DATA_ARCH)
  message(FATAL_ERROR "TREE_DATA_TRIPLE is '${TREE_DATA_TRIPLE}'; set it to "
                      "one of the triples in ${CMAKE_CURRENT_LIST_FILE}")
endif()
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${TREE_DATA_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${TREE_DATA_TRIPLE}-g++)

# Libraries and headers come from the cross sysroot only; programs (gzip,
# strace, valgrind) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${TREE_DATA_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(TREE_DATA_QEMU ${qemu})
if(NOT TREE_DATA_QEMU)
  message(FATAL_ERROR "${qemu} not found: install Debian's qemu-user")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${TREE_DATA_QEMU} -L /usr/${TREE_DATA_TRIPLE})
