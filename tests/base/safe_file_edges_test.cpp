// Edges of the safe writer: the signal clean-up in child processes (the
// slots of finished files are used again, a handler the program had before
// runs for its own signal), a failure seen only by the stream's error flag,
// and a failed file that stays failed.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>

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

TEST(SafeFileEdgesTest, ManyFinishedFilesLaterStillCleanedUp) {
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
TEST(SafeFileEdgesTest, EachSignalReachesItsOwnEarlierHandler) {
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

// One large fwrite through Stream() that the disk refuses leaves nothing to
// flush: the stream's error flag alone must fail the commit.
TEST(SafeFileEdgesTest, AFailedLargeStreamWriteFailsTheCommit) {
  PrivateFolder dir("safe-edges-");
  ASSERT_FALSE(dir.Path().empty());
  { std::ofstream(dir.FilePath("out")) << "old"; }
  const int status = StatusOfChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(3);
    SafeFile file;
    if (!file.Open(dir.FilePath("out"))) ::_exit(2);
    const std::string big(200000, 'z');
    [[maybe_unused]] const std::size_t taken = std::fwrite(big.data(), 1, big.size(), file.Stream());
    ::_exit(file.Commit() ? 1 : 0);
  });
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  std::ifstream in(dir.FilePath("out"));
  std::string text;
  in >> text;
  EXPECT_EQ(text, "old");
  EXPECT_EQ(Files(dir.Path()), 1);
}

// A target written in place (a pipe) that failed answers false to every
// later Finish or Commit.
TEST(SafeFileEdgesTest, AFailedFileStaysFailed) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  SafeFile file;
  ASSERT_TRUE(file.Open("/proc/self/fd/" + std::to_string(fds[1])));
  EXPECT_TRUE(file.InPlace());
  file.MarkFailed();
  EXPECT_FALSE(file.Finish());
  EXPECT_FALSE(file.Finish());
  EXPECT_FALSE(file.Commit());
  EXPECT_FALSE(file.Error().empty());
  ::close(fds[0]);
  ::close(fds[1]);
}

}  // namespace
