# Cross-compiles for 64-bit Windows with Debian's mingw-w64
# (g++-mingw-w64-x86-64-posix), and runs what it builds (tests, test
# discovery) under Wine. The posix thread model is named outright: it is the
# one with std::mutex, which GoogleTest needs, and x86_64-w64-mingw32-g++
# may point at the win32 model instead.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
# Every program links the C++ run-time in, so that it needs only Windows' own
# libraries, under Wine as on Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Libraries and headers come from mingw-w64 only; programs from the build
# machine.
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine with a prefix of the build's own, made when the tests are configured,
# and without its debugging lines on standard error. Debian's wine command
# picks the 64-bit loader for a 64-bit program.
find_program(TREE_DATA_WINE wine)
if(NOT TREE_DATA_WINE)
  message(FATAL_ERROR "wine not found: install Debian's wine and wine64")
endif()
set(TREE_DATA_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env WINEDEBUG=-all
    WINEPREFIX=${TREE_DATA_WINEPREFIX} ${TREE_DATA_WINE})
