// The signal clean-up of the safe writer, in child processes: the slots of
// finished files are used again, and a handler the program had before is
// the one that runs for its own signal.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "vistram/base/safe_file.h"
#include "vistram/base/temp_files.h"

namespace fs = std::filesystem;

namespace {

int Files(const std::string& folder) {
  int n = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) ++n;
  return n;
}

template <typename Body>
int StatusOfChild(Body body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    body();
    ::_exit(99);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

void OnTerm(int) { ::_exit(42); }

TEST(SafeFileSignalsTest, ManyFinishedFilesLaterStillCleanedUp) {
  PrivateFolder dir("safe-signals-");
  ASSERT_FALSE(dir.Path().empty());
  const int status = StatusOfChild([&] {
    for (int i = 0; i < 100; ++i)
      if (!WriteFileSafely(dir.FilePath("out"), "text")) ::_exit(1);
    SafeFile last;
    if (!last.Open(dir.FilePath("last")) || !last.Write("partial")) ::_exit(2);
    ::raise(SIGTERM);
  });
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_EQ(Files(dir.Path()), 1);  // "out" only, no temporary file
}

// The program's own SIGTERM handler runs after the clean-up; SIGINT, left
// at its default, still ends the process.
TEST(SafeFileSignalsTest, EachSignalReachesItsOwnEarlierHandler) {
  struct sigaction current {};
  ASSERT_EQ(::sigaction(SIGTERM, nullptr, &current), 0);
  if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL)
    GTEST_SKIP() << "the clean-up is installed already in this process (run this test on its own)";
  PrivateFolder dir("safe-signals-");
  ASSERT_FALSE(dir.Path().empty());
  for (int sig : {SIGTERM, SIGINT}) {
    const int status = StatusOfChild([&] {
      ::signal(SIGTERM, OnTerm);
      SafeFile file;
      if (!file.Open(dir.FilePath("out")) || !file.Write("partial")) ::_exit(2);
      ::raise(sig);
    });
    if (sig == SIGTERM) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 42) << status;
    } else {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    }
    EXPECT_EQ(Files(dir.Path()), 0) << sig;
  }
}

}  // namespace
