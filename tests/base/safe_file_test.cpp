#include "vistram/base/safe_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void Put(const fs::path& p, const std::string& text, mode_t mode = 0644) {
  std::ofstream(p, std::ios::binary) << text;
  fs::permissions(p, static_cast<fs::perms>(mode));
}

mode_t ModeOf(const fs::path& p) {
  struct stat st {};
  EXPECT_EQ(::stat(p.c_str(), &st), 0);
  return st.st_mode & 07777;
}

// Runs `check` in a child process and returns its exit status (0 when the
// check passed). The child may change limits, signals or its user freely.
int InChild(const std::function<bool()>& check) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(check() ? 0 : 1);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

class SafeFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "safe_file.XXXXXX").string();
    dir_ = ::mkdtemp(pattern.data());
    ::signal(SIGPIPE, SIG_IGN);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }
  // The names in the folder other than `keep`: temporary files left behind.
  std::vector<std::string> Others(std::initializer_list<std::string> keep) const {
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(dir_)) {
      const std::string name = e.path().filename();
      if (std::find(keep.begin(), keep.end(), name) == keep.end()) left.push_back(name);
    }
    return left;
  }
  fs::path dir_;
};

// Modes of existing files are kept (every writer's test checks that too);
// a new file, even one a dangling link names, gets the umask's.
TEST_F(SafeFileTest, NewFilesTakeTheUmasksModeThroughDanglingLinks) {
  const mode_t oldMask = ::umask(027);
  fs::create_symlink("missing.txt", dir_ / "dangling.txt");
  ASSERT_TRUE(WriteFileSafely(dir_ / "dangling.txt", "created"));
  ASSERT_TRUE(WriteFileSafely(dir_ / "new.txt", "new"));
  ::umask(oldMask);
  EXPECT_TRUE(fs::is_symlink(dir_ / "dangling.txt"));
  EXPECT_EQ(Slurp(dir_ / "missing.txt"), "created");
  EXPECT_EQ(ModeOf(dir_ / "missing.txt"), 0640u);
  EXPECT_EQ(ModeOf(dir_ / "new.txt"), 0640u);
  EXPECT_TRUE(Others({"dangling.txt", "missing.txt", "new.txt"}).empty());
}

TEST_F(SafeFileTest, UnwritableTargetsAreRefusedAndLeftAlone) {
  Put(dir_ / "locked.txt", "keep me", 0444);
  fs::create_directory(dir_ / "folder");
  fs::permissions(dir_, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec |
                            fs::perms::group_read | fs::perms::group_exec);
  // A write-protected file is refused as a shell redirect refuses it. Root
  // may write anything, so the check runs as an ordinary user there.
  const fs::path locked = dir_ / "locked.txt";
  const int status = InChild([&] {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return false;
    std::string error;
    return !WriteFileSafely(locked, "lost", &error) && error.find("Permission denied") != std::string::npos;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Slurp(locked), "keep me");
  struct Case {
    fs::path target;
    const char* reason;
  } cases[] = {{dir_ / "folder", "Is a directory"},
               {dir_ / "no" / "such.txt", "No such file or directory"},
               {dir_ / "folder/", "Is a directory"},
               {"", "no file name"}};
  for (const Case& c : cases) {
    SafeFile f;
    EXPECT_FALSE(f.Open(c.target)) << c.target;
    EXPECT_NE(f.Error().find(c.reason), std::string::npos) << c.target << ": " << f.Error();
    EXPECT_FALSE(f.Commit());
  }
  EXPECT_TRUE(Others({"locked.txt", "folder"}).empty());
}

// A pipe, named as /dev/stdout names one (through /proc/self/fd), is
// written in place, never replaced by a regular file (FIFOs: writers_test).
TEST_F(SafeFileTest, PipesAreWrittenInPlace) {
  const std::string data(300000, 'x');  // more than a pipe holds
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  fs::create_symlink("/proc/self/fd/" + std::to_string(ends[1]), dir_ / "stdout");
  std::string piped;
  std::thread drain([&] {
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(ends[0], buffer, sizeof buffer)) > 0) piped.append(buffer, static_cast<std::size_t>(n));
  });
  SafeFile f;
  ASSERT_TRUE(f.Open(dir_ / "stdout"));
  EXPECT_TRUE(f.InPlace());
  EXPECT_TRUE(f.Write(data));
  EXPECT_TRUE(f.Commit());
  ::close(ends[1]);
  drain.join();
  ::close(ends[0]);
  EXPECT_EQ(piped, data);
  EXPECT_TRUE(Others({"stdout"}).empty());
}

// Short writes: a reader that goes away, a file size limit (as a full disk
// would stop the file). Each is reported with its reason and the old file
// stays as it was.
TEST_F(SafeFileTest, ShortWritesFailWithTheirReason) {
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  std::thread quitter([&] { std::ifstream(dir_ / "fifo").close(); });
  std::string error;
  EXPECT_FALSE(WriteFileSafely(dir_ / "fifo", std::string(1 << 20, 'x'), &error));
  quitter.join();
  EXPECT_NE(error.find("Broken pipe"), std::string::npos) << error;

  Put(dir_ / "picture.svg", "<svg>the old picture</svg>");
  const fs::path target = dir_ / "picture.svg";
  for (bool throughStream : {false, true}) {
    const int status = InChild([&] {
      ::signal(SIGXFSZ, SIG_IGN);
      rlimit limit{4096, 4096};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return false;
      const std::string big(100000, 'y');
      SafeFile f;
      if (!f.Open(target)) return false;
      if (throughStream) {
        for (int i = 0; i < 100; ++i) std::fputs("0123456789012345678901234567890123456789\n", f.Stream());
      } else {
        f.Write(big);
      }
      return !f.Commit() && f.Error().find("File too large") != std::string::npos;
    });
    EXPECT_EQ(status, 0) << throughStream;
    EXPECT_EQ(Slurp(target), "<svg>the old picture</svg>");
  }
  EXPECT_TRUE(Others({"fifo", "picture.svg"}).empty());
}

TEST_F(SafeFileTest, DroppedOrAbortedFilesLeaveNothing) {
  Put(dir_ / "a.txt", "old");
  {
    SafeFile dropped;
    ASSERT_TRUE(dropped.Open(dir_ / "a.txt"));
    std::fputs("half", dropped.Stream());
    EXPECT_EQ(Others({"a.txt"}).size(), 1u);  // the temporary file
  }
  SafeFile failed;
  ASSERT_TRUE(failed.Open(dir_ / "a.txt"));
  failed.MarkFailed();
  EXPECT_FALSE(failed.Commit());
  EXPECT_FALSE(failed.Error().empty());
  EXPECT_EQ(Slurp(dir_ / "a.txt"), "old");
  EXPECT_TRUE(Others({"a.txt"}).empty());
}

// Killed by SIGINT, SIGTERM or SIGHUP while writing: the temporary file goes,
// the target stays, and the process still dies of the signal.
TEST_F(SafeFileTest, TerminatingSignalsRemoveTemporaryFiles) {
  Put(dir_ / "out.html", "old");
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    const int status = InChild([&] {
      SafeFile a, b;
      if (!a.Open(dir_ / "out.html") || !b.Open(dir_ / "new.html")) return false;
      std::fputs("partial", a.Stream());
      std::fflush(a.Stream());
      ::raise(sig);
      return false;
    });
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig;
    EXPECT_TRUE(Others({"out.html"}).empty()) << sig;
    EXPECT_EQ(Slurp(dir_ / "out.html"), "old");
  }
}

// Temporary files of processes that no longer run (kill -9) are removed by
// the next write to the folder; those of running processes are not.
TEST_F(SafeFileTest, LeftoversOfDeadWritersAreRemoved) {
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ::waitpid(dead, nullptr, 0);
  const std::string pid = std::to_string(dead);
  const std::vector<std::string> leftovers = {".a.html.vistram-" + pid + "-Ab12Cd",
                                              ".b.tsv.vistram-" + pid + "-xYz789-old"};
  const std::vector<std::string> kept = {".c.vistram-" + std::to_string(::getppid()) + "-running",
                                         ".d.vistram-" + std::to_string(::getpid()) + "-ourown",
                                         ".e.vistram-x" + pid + "-notours", "f.vistram-" + pid + "-nodot"};
  for (const auto& n : leftovers) Put(dir_ / n, "junk");
  for (const auto& n : kept) Put(dir_ / n, "junk");
  ASSERT_TRUE(WriteFileSafely(dir_ / "out.txt", "fresh"));
  for (const auto& n : leftovers) EXPECT_FALSE(fs::exists(dir_ / n)) << n;
  for (const auto& n : kept) EXPECT_TRUE(fs::exists(dir_ / n)) << n;
}

class CommitAllTest : public SafeFileTest {
 protected:
  bool OpenGroup(std::vector<SafeFile>& files, const std::string& text) {
    for (std::size_t i = 0; i < files.size(); ++i) {
      if (!files[i].Open(dir_ / ("f" + std::to_string(i))) || !files[i].Write(text)) return false;
    }
    return true;
  }
  std::vector<SafeFile*> Pointers(std::vector<SafeFile>& files) {
    std::vector<SafeFile*> p;
    for (SafeFile& f : files) p.push_back(&f);
    return p;
  }
};

// A failure at any file, in finishing or renaming, leaves every old file
// as it was and adds no new one.
TEST_F(CommitAllTest, AllOrNothing) {
  for (std::size_t failing = 0; failing < 4; ++failing) {
    for (bool inRename : {false, true}) {
      for (int i = 0; i < 3; ++i) Put(dir_ / ("f" + std::to_string(i)), "old");
      fs::remove_all(dir_ / "f3");
      std::vector<SafeFile> files(4);
      ASSERT_TRUE(OpenGroup(files, "new"));
      if (!inRename) {
        files[failing].MarkFailed();
      } else {
        // The target turns into a non-empty folder: the rename fails.
        fs::remove(dir_ / ("f" + std::to_string(failing)));
        fs::create_directories(dir_ / ("f" + std::to_string(failing)) / "inside");
      }
      std::string error;
      EXPECT_FALSE(CommitAll(Pointers(files), &error));
      EXPECT_FALSE(error.empty());
      for (std::size_t i = 0; i < 3; ++i) {
        if (inRename && i == failing) continue;
        EXPECT_EQ(Slurp(dir_ / ("f" + std::to_string(i))), "old") << failing << inRename << i;
      }
      EXPECT_EQ(fs::exists(dir_ / "f3"), inRename && failing == 3) << failing << inRename;
      fs::remove_all(dir_ / ("f" + std::to_string(failing)));
      EXPECT_EQ(Others({"f0", "f1", "f2"}), std::vector<std::string>{}) << failing << inRename;
    }
  }
  std::vector<SafeFile> files(4);
  ASSERT_TRUE(OpenGroup(files, "new"));
  EXPECT_TRUE(CommitAll(Pointers(files)));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Slurp(dir_ / ("f" + std::to_string(i))), "new");
  EXPECT_FALSE(CommitAll({nullptr}));
}

// Two groups written to the same names at once: the folder lock keeps each
// group's renames together, so the files always come from one writer.
TEST_F(CommitAllTest, ConcurrentGroupsNeverMix) {
  std::atomic<bool> mixed{false};
  auto writer = [&](const std::string& text) {
    for (int round = 0; round < 40; ++round) {
      std::vector<SafeFile> files(4);
      if (!OpenGroup(files, text) || !CommitAll(Pointers(files))) mixed = true;
    }
  };
  std::thread a(writer, "A"), b(writer, "B");
  a.join();
  b.join();
  EXPECT_FALSE(mixed);
  const std::string first = Slurp(dir_ / "f0");
  for (int i = 1; i < 4; ++i) EXPECT_EQ(Slurp(dir_ / ("f" + std::to_string(i))), first);
}

}  // namespace
