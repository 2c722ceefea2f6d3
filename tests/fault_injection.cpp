// Preloaded into the program by its tests to make the system fail on cue,
// as set by the environment:
//   TREE_DATA_FAIL_ALLOC=N    the N-th allocation after main starts fails
//   TREE_DATA_FAIL_RESERVE=1  allocations of 64 KiB or more before main fail:
//                             the C++ run-time's reserve for the exceptions
//                             that it cannot allocate otherwise
//   TREE_DATA_FAIL_OPEN=E     opening DataFile.csv fails with error number E;
//                             EINTR only the first time, as a signal would
//   TREE_DATA_FAIL_READ=E     the second read of DataFile.csv, after the
//                             first has returned its start, fails with E
//   TREE_DATA_TERMINAL=1      standard output is taken for a terminal
//   TREE_DATA_COUNT_TO=PATH   at exit, writes "BEFORE AFTER FAULTS" to PATH:
//                             the allocations made before main started and
//                             after, and the faults the above made happen
// Allocations made before main belong to the C and C++ run-times' start-up
// and are counted, but failed only as TREE_DATA_FAIL_RESERVE says.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <sys/types.h>

extern "C" void *__libc_malloc(std::size_t size);
extern "C" void *__libc_calloc(std::size_t count, std::size_t size);
extern "C" void *__libc_realloc(void *memory, std::size_t size);
extern "C" void *__libc_memalign(std::size_t alignment, std::size_t size);

namespace {

using MainFunction = int (*)(int, char **, char **);
using StartMain = int (*)(MainFunction, int, char **, void (*)(), void (*)(),
                          void (*)(), void *);
using OpenFile = FILE *(*)(const char *, const char *);
using ReadFile = ssize_t (*)(int, void *, std::size_t);

MainFunction realMain;
bool mainStarted;
unsigned long long before, after, failAt, faults;
int openError;
int readError;
int inputFd = -1; // DataFile.csv's, once open

long long numberFrom(const char *name) {
  const char *text = std::getenv(name);
  return text != nullptr ? std::atoll(text) : 0;
}

// Whether TREE_DATA_FAIL_RESERVE is set; read on first use, before main,
// without allocating.
bool reserveFails() {
  static const bool fails = std::getenv("TREE_DATA_FAIL_RESERVE") != nullptr;
  return fails;
}

// Counts an allocation of `size` bytes and says whether it is the one to fail.
bool allocationFails(std::size_t size) {
  if (!mainStarted) {
    ++before;
    if (size < 65536 || !reserveFails())
      return false;
    ++faults;
    errno = ENOMEM;
    return true;
  }
  if (++after != failAt)
    return false;
  ++faults;
  errno = ENOMEM;
  return true;
}

int countedMain(int argc, char **argv, char **envp) {
  failAt = static_cast<unsigned long long>(numberFrom("TREE_DATA_FAIL_ALLOC"));
  openError = static_cast<int>(numberFrom("TREE_DATA_FAIL_OPEN"));
  readError = static_cast<int>(numberFrom("TREE_DATA_FAIL_READ"));
  mainStarted = true;
  return realMain(argc, argv, envp);
}

// Writes the counts, taken before opening the file allocates.
__attribute__((destructor)) void writeCounts() {
  const char *path = std::getenv("TREE_DATA_COUNT_TO");
  const unsigned long long counts[] = {before, after, faults};
  if (path == nullptr)
    return;
  if (FILE *out = std::fopen(path, "w")) {
    std::fprintf(out, "%llu %llu %llu\n", counts[0], counts[1], counts[2]);
    std::fclose(out);
  }
}

} // namespace

extern "C" int __libc_start_main(MainFunction main, int argc, char **argv,
                                 void (*init)(), void (*fini)(),
                                 void (*rtldFini)(), void *stackEnd) {
  realMain = main;
  const auto next =
      reinterpret_cast<StartMain>(dlsym(RTLD_NEXT, "__libc_start_main"));
  return next(countedMain, argc, argv, init, fini, rtldFini, stackEnd);
}

extern "C" void *malloc(std::size_t size) noexcept {
  return allocationFails(size) ? nullptr : __libc_malloc(size);
}

extern "C" void *calloc(std::size_t count, std::size_t size) noexcept {
  return allocationFails(count * size) ? nullptr : __libc_calloc(count, size);
}

extern "C" void *realloc(void *memory, std::size_t size) noexcept {
  return allocationFails(size) ? nullptr : __libc_realloc(memory, size);
}

extern "C" void *aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
  return allocationFails(size) ? nullptr : __libc_memalign(alignment, size);
}

extern "C" FILE *fopen64(const char *path, const char *mode) {
  static bool interrupted;
  const bool input = std::strcmp(path, "DataFile.csv") == 0;
  if (input && openError != 0 && !(openError == EINTR && interrupted)) {
    interrupted = true;
    ++faults;
    errno = openError;
    return nullptr;
  }
  static const auto next = reinterpret_cast<OpenFile>(dlsym(RTLD_NEXT, "fopen64"));
  FILE *file = next(path, mode);
  if (input && file != nullptr)
    inputFd = fileno(file);
  return file;
}

extern "C" ssize_t read(int fd, void *buffer, std::size_t size) {
  static int inputReads;
  if (readError != 0 && fd == inputFd && ++inputReads == 2) {
    ++faults;
    errno = readError;
    return -1;
  }
  static const auto next = reinterpret_cast<ReadFile>(dlsym(RTLD_NEXT, "read"));
  return next(fd, buffer, size);
}

extern "C" int isatty(int fd) {
  static const auto next = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "isatty"));
  if (fd != 1 || std::getenv("TREE_DATA_TERMINAL") == nullptr)
    return next(fd);
  ++faults;
  return 1;
}
