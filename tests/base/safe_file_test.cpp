// The one writing routine against each way a file used to be lost: one row
// per case, each in a fresh folder that must hold no temporary file at the end.
#include "vistram/base/safe_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <functional>
#include <thread>

#include "support/temp_folder.h"

namespace fs = std::filesystem;
using test_support::ReadWholeFile;

namespace {

void Put(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }
mode_t ModeOf(const fs::path& p) {
  struct stat st {};
  ::stat(p.c_str(), &st);
  return st.st_mode & 07777;
}
// The wait status of `check` run in a child: 0 when it passed.
int InChild(const std::function<bool()>& check) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(check() ? 0 : 1);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}
std::string F(std::size_t i) { return "f" + std::to_string(i); }
// Files f0..f3 of `dir` opened and written as one group, and its commit.
bool OpenGroup(const fs::path& dir, std::vector<SafeFile>& files, const std::string& text) {
  for (std::size_t i = 0; i < files.size(); ++i)
    if (!files[i].Open(dir / F(i)) || !files[i].Write(text)) return false;
  return true;
}
bool CommitGroup(std::vector<SafeFile>& files, std::string* error = nullptr) {
  std::vector<SafeFile*> p;
  for (SafeFile& f : files) p.push_back(&f);
  return CommitAll(p, error);
}

void NewFilesTakeTheUmaskThroughDanglingLinks(const fs::path& dir) {
  const mode_t oldMask = ::umask(027);
  fs::create_symlink("missing.txt", dir / "dangling.txt");
  EXPECT_TRUE(WriteFileSafely(dir / "dangling.txt", "created"));
  EXPECT_TRUE(WriteFileSafely(dir / "new.txt", "new"));
  ::umask(oldMask);
  EXPECT_TRUE(fs::is_symlink(dir / "dangling.txt"));
  EXPECT_EQ(ReadWholeFile(dir / "missing.txt"), "created");
  EXPECT_EQ(ModeOf(dir / "missing.txt"), 0640u);
  EXPECT_EQ(ModeOf(dir / "new.txt"), 0640u);
}

// Refused as a shell redirect refuses them; the write-protected file is tried
// as an ordinary user (root may write anything).
void UnwritableTargetsAreRefused(const fs::path& dir) {
  Put(dir / "locked.txt", "keep me");
  fs::permissions(dir / "locked.txt", static_cast<fs::perms>(0444));
  fs::create_directory(dir / "folder");
  fs::permissions(dir, static_cast<fs::perms>(0755));
  EXPECT_EQ(InChild([&] {
              if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return false;
              std::string error;
              return !WriteFileSafely(dir / "locked.txt", "lost", &error) &&
                     error.find("Permission denied") != std::string::npos;
            }),
            0);
  EXPECT_EQ(ReadWholeFile(dir / "locked.txt"), "keep me");
  const std::pair<fs::path, const char*> cases[] = {{dir / "folder", "Is a directory"},
                                                    {dir / "no" / "such.txt", "No such file or directory"},
                                                    {dir / "folder/", "Is a directory"},
                                                    {"", "no file name"}};
  for (const auto& [target, reason] : cases) {
    SafeFile f;
    EXPECT_FALSE(f.Open(target)) << target;
    EXPECT_NE(f.Error().find(reason), std::string::npos) << target << ": " << f.Error();
    EXPECT_FALSE(f.Commit());
  }
}

// A pipe named as /dev/stdout names one is written in place, more than a
// pipe holds; one marked failed stays failed.
void PipesAreWrittenInPlace(const fs::path& dir) {
  const std::string data(300000, 'x');
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  fs::create_symlink("/proc/self/fd/" + std::to_string(ends[1]), dir / "stdout");
  std::string piped;
  std::thread drain([&] {
    char buffer[65536];
    for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;) piped.append(buffer, static_cast<std::size_t>(n));
  });
  SafeFile f, failed;
  EXPECT_TRUE(f.Open(dir / "stdout"));
  EXPECT_TRUE(f.InPlace());
  EXPECT_TRUE(f.Write(data));
  EXPECT_TRUE(f.Commit());
  EXPECT_TRUE(failed.Open(dir / "stdout"));
  failed.MarkFailed();
  EXPECT_FALSE(failed.Finish());
  EXPECT_FALSE(failed.Finish());
  EXPECT_FALSE(failed.Commit());
  ::close(ends[1]);
  drain.join();
  ::close(ends[0]);
  EXPECT_EQ(piped, data);
}

// A reader that goes away, a file size limit (as a full disk stops the file)
// met by Write, by buffered lines or by one large fwrite that leaves nothing
// to flush: reported with the reason, the old file as it was.
void ShortWritesFailWithTheirReason(const fs::path& dir) {
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  std::thread quitter([&] { std::ifstream(dir / "fifo").close(); });
  std::string error;
  EXPECT_FALSE(WriteFileSafely(dir / "fifo", std::string(1 << 20, 'x'), &error));
  quitter.join();
  EXPECT_NE(error.find("Broken pipe"), std::string::npos) << error;
  Put(dir / "picture.svg", "<svg>old</svg>");
  for (int how : {0, 1, 2}) {
    EXPECT_EQ(InChild([&] {
                ::signal(SIGXFSZ, SIG_IGN);
                rlimit limit{4096, 4096};
                SafeFile f;
                if (::setrlimit(RLIMIT_FSIZE, &limit) != 0 || !f.Open(dir / "picture.svg")) return false;
                const std::string big(200000, 'y');
                if (how == 0) f.Write(big);
                for (int i = 0; how == 1 && i < 100; ++i) std::fputs("0123456789012345678901234567890123456789\n", f.Stream());
                if (how == 2 && std::fwrite(big.data(), 1, big.size(), f.Stream()) == big.size()) return false;
                return !f.Commit() && f.Error().find("File too large") != std::string::npos;
              }),
              0)
        << how;
    EXPECT_EQ(ReadWholeFile(dir / "picture.svg"), "<svg>old</svg>");
  }
}

void DroppedOrAbortedFilesLeaveTheOldOne(const fs::path& dir) {
  Put(dir / "a.txt", "old");
  {
    SafeFile dropped;
    ASSERT_TRUE(dropped.Open(dir / "a.txt"));
    std::fputs("half", dropped.Stream());
  }
  SafeFile failed;
  ASSERT_TRUE(failed.Open(dir / "a.txt"));
  failed.MarkFailed();
  EXPECT_FALSE(failed.Commit());
  EXPECT_FALSE(failed.Error().empty());
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "old");
}

// SIGINT, SIGTERM, SIGHUP while writing (after many finished files freed
// their clean-up slots): the temporary files go, the target stays, and the
// process still dies of the signal.
void TerminatingSignalsRemoveTemporaryFiles(const fs::path& dir) {
  Put(dir / "out.html", "old");
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    const int status = InChild([&] {
      for (int i = 0; i < 100; ++i)
        if (!WriteFileSafely(dir / "done.txt", "x")) return false;
      SafeFile a, b;
      if (!a.Open(dir / "out.html") || !b.Open(dir / "new.html")) return false;
      std::fputs("partial", a.Stream());
      std::fflush(a.Stream());
      ::raise(sig);
      return false;
    });
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig;
    EXPECT_EQ(ReadWholeFile(dir / "out.html"), "old");
    EXPECT_FALSE(fs::exists(dir / "new.html"));
  }
}

// Temporary files of processes that no longer run (kill -9) go with the next
// write to the folder; those of running processes, and names not ours, stay.
void LeftoversOfDeadWritersAreRemoved(const fs::path& dir) {
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ::waitpid(dead, nullptr, 0);
  const std::string pid = std::to_string(dead);
  const std::string gone[] = {".a.html.vistram-" + pid + "-Ab12Cd", ".b.tsv.vistram-" + pid + "-xYz789-old"};
  const std::string kept[] = {".c.vistram-" + std::to_string(::getppid()) + "-running",
                              ".d.vistram-" + std::to_string(::getpid()) + "-ourown",
                              ".e.vistram-x" + pid + "-notours", "f.vistram-" + pid + "-nodot"};
  for (const auto& n : gone) Put(dir / n, "junk");
  for (const auto& n : kept) Put(dir / n, "junk");
  EXPECT_TRUE(WriteFileSafely(dir / "out.txt", "fresh"));
  for (const auto& n : gone) EXPECT_FALSE(fs::exists(dir / n)) << n;
  for (const auto& n : kept) EXPECT_TRUE(fs::remove(dir / n)) << n;
}

// A group fails at any file, in finishing or in renaming (the target turned
// into a non-empty folder): every old file stays and no new one appears.
void GroupsCommitAllOrNothing(const fs::path& dir) {
  for (int failing = 0; failing < 4; ++failing) {
    for (bool inRename : {false, true}) {
      for (int i = 0; i < 3; ++i) Put(dir / F(i), "old");
      fs::remove_all(dir / F(3));
      std::vector<SafeFile> files(4);
      ASSERT_TRUE(OpenGroup(dir, files, "new"));
      if (!inRename) {
        files[static_cast<std::size_t>(failing)].MarkFailed();
      } else {
        fs::remove(dir / F(failing));
        fs::create_directories(dir / F(failing) / "inside");
      }
      std::string error;
      EXPECT_FALSE(CommitGroup(files, &error));
      EXPECT_FALSE(error.empty());
      for (int i = 0; i < 3; ++i)
        if (!inRename || i != failing) EXPECT_EQ(ReadWholeFile(dir / F(i)), "old") << failing << inRename << i;
      EXPECT_EQ(fs::exists(dir / F(3)), inRename && failing == 3) << failing << inRename;
      fs::remove_all(dir / F(failing));
    }
  }
  std::vector<SafeFile> files(4);
  EXPECT_TRUE(OpenGroup(dir, files, "new") && CommitGroup(files));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(ReadWholeFile(dir / F(i)), "new");
  EXPECT_FALSE(CommitAll({nullptr}));
}

// Two groups written to the same names at once: the files always come from
// one writer.
void ConcurrentGroupsNeverMix(const fs::path& dir) {
  std::atomic<bool> failed{false};
  auto writer = [&](const std::string& text) {
    for (int round = 0; round < 40; ++round) {
      std::vector<SafeFile> files(4);
      if (!OpenGroup(dir, files, text) || !CommitGroup(files)) failed = true;
    }
  };
  std::thread a(writer, "A"), b(writer, "B");
  a.join();
  b.join();
  EXPECT_FALSE(failed);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(ReadWholeFile(dir / F(i)), ReadWholeFile(dir / F(0)));
}

TEST(SafeFile, EachWayAFileWasLost) {
  ::signal(SIGPIPE, SIG_IGN);
  const std::pair<const char*, void (*)(const fs::path&)> cases[] = {
      {"new files", NewFilesTakeTheUmaskThroughDanglingLinks},
      {"unwritable targets", UnwritableTargetsAreRefused},
      {"pipes", PipesAreWrittenInPlace},
      {"short writes", ShortWritesFailWithTheirReason},
      {"dropped files", DroppedOrAbortedFilesLeaveTheOldOne},
      {"signals", TerminatingSignalsRemoveTemporaryFiles},
      {"leftovers", LeftoversOfDeadWritersAreRemoved},
      {"groups", GroupsCommitAllOrNothing},
      {"concurrent groups", ConcurrentGroupsNeverMix},
  };
  for (const auto& [what, run] : cases) {
    SCOPED_TRACE(what);
    test_support::TempFolder folder;
    const fs::path dir = folder.path();
    run(dir);
    for (const auto& e : fs::directory_iterator(dir))
      EXPECT_EQ(e.path().filename().string().find(".vistram-"), std::string::npos) << e.path();
    fs::permissions(dir, fs::perms::owner_all);
  }
}

void OnTerm(int) { ::_exit(42); }

// The program's own SIGTERM handler runs after the clean-up; SIGINT, left at
// its default, still ends the process.
TEST(SafeFile, EachSignalReachesItsOwnEarlierHandler) {
  struct sigaction current {};
  ASSERT_EQ(::sigaction(SIGTERM, nullptr, &current), 0);
  if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL)
    GTEST_SKIP() << "the clean-up is installed already in this process (run this test on its own)";
  test_support::TempFolder dir;
  for (int sig : {SIGTERM, SIGINT}) {
    const int status = InChild([&] {
      ::signal(SIGTERM, OnTerm);
      SafeFile file;
      if (file.Open(dir / "out") && file.Write("partial")) ::raise(sig);
      return false;
    });
    EXPECT_TRUE(sig == SIGTERM ? WIFEXITED(status) && WEXITSTATUS(status) == 42
                               : WIFSIGNALED(status) && WTERMSIG(status) == SIGINT)
        << status;
    EXPECT_EQ(dir.EntryCount(), 0u) << sig;
  }
}

}  // namespace
