# Cross-compiles for 64-bit ARM Linux with Debian's g++-aarch64-linux-gnu, and
# runs what it builds (tests, test discovery) under qemu-aarch64 from
# qemu-user, with the cross C library as its root. No binfmt handler is
# needed or registered.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(triple aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${triple}-gcc)
set(CMAKE_CXX_COMPILER ${triple}-g++)

# Libraries and headers come from the cross sysroot only; programs (gzip,
# strace, valgrind) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(QEMU_AARCH64 qemu-aarch64)
if(NOT QEMU_AARCH64)
  message(FATAL_ERROR "qemu-aarch64 not found: install Debian's qemu-user")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_AARCH64} -L /usr/${triple})
