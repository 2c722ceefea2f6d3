#include "program_harness.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace endToEnd {

const std::string program = PROGRAM_EMULATOR "'" PROGRAM_PATH "'";
const std::string where = "tree_data: DataFile.csv:";
const std::string preload = "LD_PRELOAD='" FAULT_INJECTION_PATH "' ";

namespace {

#ifdef PROGRAM_IS_WINDOWS
// The Windows program ends its lines in CRLF: read as LF, with a bare LF
// marked so that it cannot pass for a line end.
std::string asLf(const std::string &text) {
  std::string lf;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
      continue;
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
      lf += "<LF without CR>";
    lf += text[i];
  }
  return lf;
}
#endif

#ifdef PROGRAM_IS_ELSEWHERE
// Whether the fault-injection preload reaches a program built elsewhere: it
// writes its counts at exit only from inside the program.
bool preloadReaches() {
  std::string folder = (fs::temp_directory_path() / "tree_data_probe.XXXXXX").string();
  if (mkdtemp(folder.data()) == nullptr)
    return false;
  std::system(("cd '" + folder + "' && " + preload + "TREE_DATA_COUNT_TO=counts " +
               program + " >/dev/null 2>&1")
                  .c_str());
  const bool reached = fs::exists(fs::path(folder) / "counts");
  fs::remove_all(folder);
  return reached;
}
#endif

} // namespace

std::string readFile(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string readOutput(const fs::path &path) {
#ifdef PROGRAM_IS_WINDOWS
  return asLf(readFile(path));
#else
  return readFile(path);
#endif
}

bool prefixThen(const std::string &text, const std::string &full,
                const std::string &last) {
  if (text.size() < last.size())
    return false;
  const std::size_t lead = text.size() - last.size();
  return text.compare(lead, last.size(), last) == 0 &&
         full.compare(0, lead, text, 0, lead) == 0;
}

const char *allocationsHidden() {
#if defined(TREE_DATA_SANITIZED)
  return "the sanitizer runtime owns malloc";
#elif defined(PROGRAM_IS_STATIC)
  return "the program is linked statically: nothing can be preloaded into it, "
         "and valgrind cannot follow its allocations";
#else
  if (!std::string(PROGRAM_EMULATOR).empty())
    return "the program runs under an emulator, which the preload and valgrind "
           "would reach instead";
#ifdef PROGRAM_IS_ELSEWHERE
  static const bool reaches = preloadReaches();
  if (!reaches)
    return "nothing can be preloaded into the program: it is linked statically";
#endif
  return nullptr;
#endif
}

void ProgramTest::SetUp() {
  std::string folder =
      (fs::temp_directory_path() / "tree_data_test.XXXXXX").string();
  ASSERT_NE(mkdtemp(folder.data()), nullptr);
  dir = folder;
}

void ProgramTest::TearDown() { fs::remove_all(dir); }

void ProgramTest::writeInput(const std::string &bytes) {
  std::ofstream(dir / "DataFile.csv", std::ios::binary) << bytes;
}

int ProgramTest::shell(const std::string &command) {
  const int raw =
      std::system(("cd '" + dir.string() + "' && " + command).c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

Outcome ProgramTest::run(const std::string &stdoutTo, const std::string &prefix) {
  const int status = shell(prefix + " " + program + " " +
                           (stdoutTo.empty() ? ">out" : stdoutTo) + " 2>err");
  return {readOutput(dir / "out"), readOutput(dir / "err"), status};
}

} // namespace endToEnd
