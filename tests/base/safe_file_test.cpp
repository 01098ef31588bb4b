// Safe writing and the private temporary files under it.
#include "vistram/base/safe_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <functional>
#include <set>
#include <thread>

#include "support/temp_folder.h"
#include "vistram/base/temp_files.h"

namespace fs = std::filesystem;
using test_support::ReadWholeFile;
using Dir = const test_support::TempFolder&;

// clang-format off
namespace {

int InChild(const std::function<bool()>& check) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(check() ? 0 : 1);
  int status = 0;
  return ::waitpid(pid, &status, 0) == pid ? status : -1;
}
bool Died(int status, int sig) { return WIFSIGNALED(status) && WTERMSIG(status) == sig; }
std::string F(int i) { return "f" + std::to_string(i); }
// Files f0..f3 written as one group; `meddle` runs before the commit.
bool WriteGroup(Dir d, const std::string& text, std::string* error = nullptr,
                const std::function<void(std::vector<SafeFile>&)>& meddle = {}) {
  std::vector<SafeFile> files(4);
  for (int i = 0; i < 4; ++i)
    if (!files[i].Open(d / F(i)) || !files[i].Write(text)) return false;
  if (meddle) meddle(files);
  return CommitAll({&files[0], &files[1], &files[2], &files[3]}, error);
}

void NewFilesTakeTheUmaskThroughDanglingLinks(Dir d) {
  const mode_t oldMask = ::umask(027);
  fs::create_symlink("missing.txt", d / "dangling.txt");
  EXPECT_TRUE(WriteFileSafely(d / "dangling.txt", "created") && WriteFileSafely(d / "new.txt", "new"));
  ::umask(oldMask);
  EXPECT_TRUE(fs::is_symlink(d / "dangling.txt") && ReadWholeFile(d / "missing.txt") == "created");
  for (const char* name : {"missing.txt", "new.txt"})
    EXPECT_EQ(fs::status(d / name).permissions(), static_cast<fs::perms>(0640)) << name;
}

// As a shell redirect refuses them (the write-protected file as a user: root writes anything).
void UnwritableTargetsAreRefused(Dir d) {
  fs::permissions(d.Write("locked.txt", "keep me"), static_cast<fs::perms>(0444));
  fs::permissions(d.path(), static_cast<fs::perms>(0755));
  EXPECT_EQ(InChild([&] {
              std::string error;
              if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return false;
              return !WriteFileSafely(d / "locked.txt", "lost", &error) && error.find("denied") != error.npos;
            }), 0);
  EXPECT_EQ(ReadWholeFile(d / "locked.txt"), "keep me");
  fs::create_directory(d / "folder");
  const std::pair<std::string, const char*> cases[] = {{d / "folder", "Is a directory"}, {"", "no file name"},
      {d / "no/such.txt", "No such file or directory"}, {d / "folder/", "Is a directory"}};
  for (const auto& [target, reason] : cases) {
    SafeFile f;
    EXPECT_TRUE(!f.Open(target) && !f.Commit() && f.Error().find(reason) != std::string::npos) << target << f.Error();
  }
}

// A pipe (as /dev/stdout may be) is written in place; one marked failed stays failed.
void PipesAreWrittenInPlace(Dir d) {
  const std::string data(300000, 'x');
  ASSERT_EQ(::mkfifo((d / "stdout").c_str(), 0600), 0);
  std::string piped;
  std::thread drain([&] { piped = ReadWholeFile(d / "stdout"); });
  SafeFile f, failed;
  EXPECT_TRUE(f.Open(d / "stdout") && failed.Open(d / "stdout") && f.InPlace() && f.Write(data) && f.Commit());
  failed.MarkFailed();
  EXPECT_FALSE(failed.Finish() || failed.Finish() || failed.Commit());
  drain.join();
  EXPECT_EQ(piped, data);
}

// A reader gone; a size limit (a full disk) met by Write, buffered lines or one fwrite that leaves nothing to flush.
void ShortWritesFailWithTheirReason(Dir d) {
  ASSERT_EQ(::mkfifo((d / "fifo").c_str(), 0600), 0);
  std::thread quitter([&] { std::ifstream(d / "fifo").close(); });
  std::string error;
  EXPECT_FALSE(WriteFileSafely(d / "fifo", std::string(1 << 20, 'x'), &error));
  quitter.join();
  EXPECT_NE(error.find("Broken pipe"), std::string::npos) << error;
  d.Write("picture.svg", "<svg>old</svg>");
  for (int how : {0, 1, 2}) {
    EXPECT_EQ(InChild([&] {
                ::signal(SIGXFSZ, SIG_IGN);
                rlimit limit{4096, 4096};
                SafeFile f;
                if (::setrlimit(RLIMIT_FSIZE, &limit) != 0 || !f.Open(d / "picture.svg")) return false;
                const std::string big(200000, 'y');
                if (how == 0) f.Write(big);
                for (int i = 0; how == 1 && i < 100; ++i) std::fputs(big.substr(0, 50).c_str(), f.Stream());
                if (how == 2 && std::fwrite(big.data(), 1, big.size(), f.Stream()) == big.size()) return false;
                return !f.Commit() && f.Error().find("File too large") != std::string::npos;
              }), 0) << how;
    EXPECT_EQ(ReadWholeFile(d / "picture.svg"), "<svg>old</svg>");
  }
}

void DroppedOrAbortedFilesLeaveTheOldOne(Dir d) {
  d.Write("a.txt", "old");
  auto dropped = std::make_unique<SafeFile>();
  SafeFile failed;
  ASSERT_TRUE(dropped->Open(d / "a.txt") && failed.Open(d / "a.txt"));
  std::fputs("half", dropped->Stream());
  dropped.reset();
  failed.MarkFailed();
  EXPECT_FALSE(failed.Commit() || failed.Error().empty());
  EXPECT_EQ(ReadWholeFile(d / "a.txt"), "old");
}

// After many finished files freed their clean-up slots: the temporary files go, the process still dies.
void TerminatingSignalsRemoveTemporaryFiles(Dir d) {
  d.Write("out.html", "old");
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    EXPECT_TRUE(Died(InChild([&] {
      for (int i = 0; i < 100; ++i)
        if (!WriteFileSafely(d / "done.txt", "x")) return false;
      SafeFile a, b;
      if (!a.Open(d / "out.html") || !b.Open(d / "new.html")) return false;
      std::fputs("partial", a.Stream());
      if (std::fflush(a.Stream()) == 0) ::raise(sig);
      return false;
    }), sig)) << sig;
    EXPECT_TRUE(ReadWholeFile(d / "out.html") == "old" && !fs::exists(d / "new.html"));
  }
}

// Those of dead processes (kill -9) go with the next write; of running ones, and names not ours, stay.
void LeftoversOfDeadWritersAreRemoved(Dir d) {
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ::waitpid(dead, nullptr, 0);
  const std::string pid = std::to_string(dead);
  const std::string gone[] = {".a.html.vistram-" + pid + "-Ab12Cd", ".b.tsv.vistram-" + pid + "-xYz789-old"};
  const std::string kept[] = {".c.vistram-" + std::to_string(::getppid()) + "-up", "f.vistram-" + pid + "-nodot",
                              ".d.vistram-" + std::to_string(::getpid()) + "-ours", ".e.vistram-x" + pid + "-not"};
  for (const auto& n : gone) d.Write(n, "junk");
  for (const auto& n : kept) d.Write(n, "junk");
  EXPECT_TRUE(WriteFileSafely(d / "out.txt", "fresh"));
  for (const auto& n : gone) EXPECT_FALSE(fs::exists(d / n)) << n;
  for (const auto& n : kept) EXPECT_TRUE(fs::remove(d / n)) << n;
}

// Failing at any file, in finishing or in renaming (into a non-empty folder): the old files stay, no new one.
void GroupsCommitAllOrNothing(Dir d) {
  for (int k = 0; k < 8; ++k) {
    const int failing = k / 2;  // in finishing when k is even, else in renaming
    for (int i = 0; i < 3; ++i) d.Write(F(i), "old");
    auto meddle = [&](std::vector<SafeFile>& files) {
      if (k % 2 == 0) return files[failing].MarkFailed();
      fs::remove(d / F(failing));
      fs::create_directories(d / (F(failing) + "/inside"));
    };
    std::string error;
    EXPECT_FALSE(WriteGroup(d, "new", &error, meddle) || error.empty());
    for (int i = 0; i < 3; ++i)
      if (k % 2 == 0 || i != failing) EXPECT_EQ(ReadWholeFile(d / F(i)), "old") << k << i;
    EXPECT_EQ(fs::exists(d / F(3)), k == 7) << k;
    for (int i : {failing, 3}) fs::remove_all(d / F(i));
  }
  EXPECT_TRUE(WriteGroup(d, "new"));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(ReadWholeFile(d / F(i)), "new");
  EXPECT_FALSE(CommitAll({nullptr}));
}

// Two groups to the same names at once: the files always come from one writer.
void ConcurrentGroupsNeverMix(Dir d) {
  std::atomic<bool> failed{false};
  auto writer = [&](const std::string& text) { for (int i = 0; i < 40; ++i) failed = failed || !WriteGroup(d, text); };
  std::thread a(writer, "A");
  writer("B");
  a.join();
  EXPECT_FALSE(failed);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(ReadWholeFile(d / F(i)), ReadWholeFile(d / F(0)));
}

// Each way a file used to be lost, one row each, in a fresh folder that must hold no temporary file after.
TEST(SafeFile, EachWayAFileWasLost) {
  ::signal(SIGPIPE, SIG_IGN);
  const std::pair<const char*, void (*)(Dir)> cases[] = {
      {"new files", NewFilesTakeTheUmaskThroughDanglingLinks}, {"unwritable targets", UnwritableTargetsAreRefused},
      {"pipes", PipesAreWrittenInPlace}, {"short writes", ShortWritesFailWithTheirReason},
      {"dropped files", DroppedOrAbortedFilesLeaveTheOldOne}, {"signals", TerminatingSignalsRemoveTemporaryFiles},
      {"leftovers", LeftoversOfDeadWritersAreRemoved}, {"groups", GroupsCommitAllOrNothing},
      {"concurrent groups", ConcurrentGroupsNeverMix}};
  for (const auto& [what, run] : cases) {
    SCOPED_TRACE(what);
    test_support::TempFolder dir;
    run(dir);
    for (const auto& e : fs::directory_iterator(dir.path()))
      EXPECT_EQ(e.path().filename().string().find(".vistram-"), std::string::npos) << e.path();
  }
}

void OnTerm(int) { ::_exit(42); }

// The program's own SIGTERM handler runs after the clean-up; SIGINT, left at default, still ends it.
TEST(SafeFile, EachSignalReachesItsOwnEarlierHandler) {
  struct sigaction current {};
  if (::sigaction(SIGTERM, nullptr, &current) != 0 || current.sa_handler != SIG_DFL)
    GTEST_SKIP() << "the clean-up is installed already in this process (run this test on its own)";
  test_support::TempFolder dir;
  for (int sig : {SIGTERM, SIGINT}) {
    const int status = InChild([&] {
      ::signal(SIGTERM, OnTerm);
      SafeFile file;
      if (file.Open(dir / "out") && file.Write("partial")) ::raise(sig);
      return false;
    });
    EXPECT_TRUE(sig == SIGTERM ? WIFEXITED(status) && WEXITSTATUS(status) == 42 : Died(status, SIGINT)) << status;
    EXPECT_EQ(dir.EntryCount(), 0u) << sig;
  }
}

unsigned ModeOf(const std::string& p) { struct stat st {}; return ::lstat(p.c_str(), &st) == 0 ? st.st_mode : 0; }
bool CloseOnExec(int fd) { return (::fcntl(fd, F_GETFD) & FD_CLOEXEC) != 0; }

class TempFilesTest : public ::testing::Test {
 protected:
  PrivateFolder dir_{"temp-files-test-"};
  std::string In(const std::string& name) const { return dir_.FilePath(name); }
};

// TMPDIR when set, else /tmp; private folders and files: fresh, private, whole.
TEST_F(TempFilesTest, TemporaryAndPrivateFoldersAndFiles) {
  const char* saved = std::getenv("TMPDIR");
  const std::string old = saved != nullptr ? saved : "";
  const std::pair<const char*, const char*> tmpdirs[] = {{nullptr, "/tmp"}, {"", "/tmp"}, {"/var/x", "/var/x"},
                                                         {"/var/x//", "/var/x"}, {"/", "/"}, {"//", "/"}};
  for (const auto& [tmpdir, folder] : tmpdirs) {
    tmpdir != nullptr ? ::setenv("TMPDIR", tmpdir, 1) : ::unsetenv("TMPDIR");
    EXPECT_EQ(TemporaryFolder(), folder) << (tmpdir ? tmpdir : "(unset)");
  }
  saved != nullptr ? ::setenv("TMPDIR", old.c_str(), 1) : ::unsetenv("TMPDIR");
  std::string made;
  {
    PrivateFolder a("run-", dir_.Path() + "/"), b("run-", dir_.Path());
    made = a.Path();
    for (const std::string& p : {a.Path(), b.Path()})  // "run-" and six characters, 0700, in the parent
      EXPECT_TRUE(p.rfind(In("run-"), 0) == 0 && p.size() == In("run-").size() + 6 && ModeOf(p) == 040700) << p;
    EXPECT_NE(a.Path(), b.Path());
    std::ofstream(a.FilePath("f")) << "data";
  }
  EXPECT_FALSE(fs::exists(made));
  PrivateFolder missing("run-", In("no/such"));  // cannot be made: no path, no names in it
  EXPECT_TRUE(missing.Path().empty() && missing.FilePath("x").empty() && PrivateFolder("run-", "").Path().empty());
  // Ensured (made 0700 when missing) or checked, never changed.
  for (const auto& [name, mode] : {std::pair{"open", 0755}, {"group", 0710}, {"mine", 0700}})
    fs::create_directory(In(name)), fs::permissions(In(name), static_cast<fs::perms>(mode));
  fs::create_directory_symlink(In("mine"), In("dirlink"));
  std::ofstream(In("file")) << "x";
  const std::tuple<const char*, bool, unsigned> cases[] = {{"new", true, 040700}, {"mine", true, 040700},
      {"open", false, 040755}, {"group", false, 040710}, {"dirlink", false, 0120777}, {"no/such", false, 0}};
  for (const auto& [name, ensured, mode] : cases)
    EXPECT_TRUE(EnsurePrivateFolder(In(name)) == ensured && IsPrivateFolder(In(name)) == ensured) << name;
  for (const auto& [name, ensured, mode] : cases) EXPECT_EQ(ModeOf(In(name)), mode) << name;
  EXPECT_FALSE(EnsurePrivateFolder(In("file")) || IsPrivateFolder(In("file")) || EnsurePrivateFolder(""));
  EXPECT_FALSE(IsPrivateFolder(In("absent")) || fs::exists(In("absent")));
  // Unique and private files: new, 0600, closed on exec.
  std::set<std::string> names;
  for (std::string path; names.size() < 20; names.insert(path)) {
    const int fd = OpenUniqueFile(In("res"), ".bla", path);
    EXPECT_TRUE(fd >= 0 && CloseOnExec(fd) && ::close(fd) == 0);
    const std::string name = fs::path(path).filename().string();
    ASSERT_TRUE(name.size() == 13 && name.rfind("res", 0) == 0 && name.substr(9) == ".bla") << name;
    ASSERT_EQ(ModeOf(path), 0100600u);
    ASSERT_EQ(names.count(path), 0u);
  }
  std::string path = "stale";
  EXPECT_TRUE(OpenUniqueFile(In("no/such/res"), "", path) < 0 && path.empty());
  // Never made over another file or through a link; replaced only when a file.
  std::ofstream(In("victim")) << "keep";
  fs::create_symlink(In("victim"), In("link"));
  fs::create_symlink(In("nowhere"), In("dangling"));
  for (const char* name : {"victim", "link", "dangling"}) {
    EXPECT_TRUE(CreatePrivateFile(In(name)) < 0 && !WritePrivateFile(In(name), "new")) << name;
    EXPECT_EQ(WritePrivateFile(In(name), name, true), name[0] == 'v') << name;
  }
  EXPECT_TRUE(ReadWholeFile(In("victim")) == "victim" && !fs::exists(In("nowhere")) && fs::is_symlink(In("link")));
  const int fd = CreatePrivateFile(In("held"));
  char back[2] = {};
  EXPECT_TRUE(::write(fd, "12", 2) == 2 && ::pread(fd, back, 2, 0) == 2 && CloseOnExec(fd));  // open for reading too
  ::close(fd);
  EXPECT_EQ(ModeOf(In("held")), 0100600u);
  const std::string texts[] = {"first text", "2nd", "", std::string(1 << 20, 'x')};
  for (const std::string& text : texts) {  // a longer old text does not show through
    EXPECT_TRUE(WritePrivateFile(In("a"), text, text[0] != 'f'));
    EXPECT_TRUE(ReadWholeFile(In("a")) == text && ModeOf(In("a")) == 0100600) << text.size();
  }
  EXPECT_FALSE(WritePrivateFile(In("no/such"), "x"));
  for (bool replace : {false, true}) {  // a write cut short (a file size limit) removes the file
    const std::string path = In(replace ? "replaced" : "fresh");
    if (replace) std::ofstream(path) << "old";
    EXPECT_EQ(InChild([&] {
                ::signal(SIGXFSZ, SIG_IGN);
                rlimit limit{10, 10};
                return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 && !WritePrivateFile(path, std::string(99, 'x'), replace);
              }), 0) << path;
    EXPECT_FALSE(fs::exists(path)) << path;
  }
}

}  // namespace
// clang-format on
