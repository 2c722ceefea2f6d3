#include "standard_output.h"

#include <cerrno>
#include <cstdio>
#include <iostream>
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

int firstError = 0;

// Values go out in 64 KiB blocks rather than the library's 4 KiB, in fewer
// writes, which a long run piped to another program gains from; the input
// file keeps the library's buffer, since a larger one saved no time. Static,
// since standard output is flushed after main returns.
char outputBuffer[1 << 16];

} // namespace

void bufferOutput() {
#ifdef _WIN32
  // Windows' C library takes a line-buffered stream as fully buffered: a
  // console gets each write as it is made instead, a line for each value.
  // Its isatty() is true of any character device, NUL too, where only a
  // console has a console mode.
  DWORD consoleMode = 0;
  if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &consoleMode) != 0) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    return;
  }
  const int mode = _IOFBF;
#else
  const int mode = isatty(fileno(stdout)) != 0 ? _IOLBF : _IOFBF;
#endif
  std::setvbuf(stdout, outputBuffer, mode, sizeof outputBuffer);
}

bool outputWhole() {
  // Asked after every row: glibc's unlocked form is a flag test where
  // ferror is a call, and the program has one thread.
#ifdef __GLIBC__
  const bool failed = ferror_unlocked(stdout) != 0;
#else
  const bool failed = std::ferror(stdout) != 0;
#endif
  if (firstError == 0 && failed)
    firstError = errno != 0 ? errno : EIO;
  return firstError == 0;
}

// Standard output is written through both std::cout and the C stream;
// std::cout keeps no buffer of its own.
bool flushOutput() {
  std::fflush(stdout);
  return outputWhole();
}

// Network file systems may report a failed write only at close. std::cout
// lets go of the stream first, since it would otherwise flush the closed
// stream at exit, which C leaves undefined (glibc does nothing, so no test
// can tell).
bool closeOutput() {
  std::cout.rdbuf(nullptr);
  if (std::fclose(stdout) != 0)
    firstError = errno != 0 ? errno : EIO;
  return firstError == 0;
}

int outputError() { return firstError; }
