#include "vistram/base/temp_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string Slurp(const std::string& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

mode_t ModeOf(const std::string& p) {
  struct stat st {};
  EXPECT_EQ(::lstat(p.c_str(), &st), 0) << p;
  return st.st_mode & 07777;
}

class TempFilesTest : public ::testing::Test {
 protected:
  PrivateFolder dir_{"temp-files-test-"};
  std::string In(const std::string& name) const { return dir_.FilePath(name); }
};

TEST(TemporaryFolderTest, TmpdirWhenSetElseTmp) {
  const char* saved = std::getenv("TMPDIR");
  const std::string old = saved != nullptr ? saved : "";
  struct Case {
    const char* tmpdir;  // null: unset
    const char* folder;
  } cases[] = {{nullptr, "/tmp"}, {"", "/tmp"}, {"/var/x", "/var/x"}, {"/var/x//", "/var/x"}, {"/", "/"}, {"//", "/"}};
  for (const Case& c : cases) {
    if (c.tmpdir == nullptr) {
      ::unsetenv("TMPDIR");
    } else {
      ::setenv("TMPDIR", c.tmpdir, 1);
    }
    EXPECT_EQ(TemporaryFolder(), c.folder) << (c.tmpdir ? c.tmpdir : "(unset)");
  }
  if (saved != nullptr) {
    ::setenv("TMPDIR", old.c_str(), 1);
  } else {
    ::unsetenv("TMPDIR");
  }
}

TEST_F(TempFilesTest, PrivateFolderIsFreshPrivateAndGoesWithItsContent) {
  ASSERT_FALSE(dir_.Path().empty());
  std::string made;
  {
    PrivateFolder a("run-", dir_.Path() + "/");
    PrivateFolder b("run-", dir_.Path());
    ASSERT_FALSE(a.Path().empty());
    made = a.Path();
    EXPECT_NE(a.Path(), b.Path());
    EXPECT_EQ(fs::path(a.Path()).parent_path(), fs::path(dir_.Path()));
    EXPECT_EQ(fs::path(a.Path()).filename().string().rfind("run-", 0), 0u);
    EXPECT_EQ(fs::path(a.Path()).filename().string().size(), 10u);
    EXPECT_TRUE(fs::is_directory(a.Path()));
    EXPECT_EQ(ModeOf(a.Path()), 0700u);
    EXPECT_EQ(a.FilePath("x.txt"), a.Path() + "/x.txt");
    fs::create_directory(a.FilePath("sub"));
    std::ofstream(a.FilePath("sub/f")) << "data";
  }
  EXPECT_FALSE(fs::exists(made));
  // A folder that cannot be made leaves the path empty, and names in it too.
  PrivateFolder missing("run-", In("no/such"));
  EXPECT_TRUE(missing.Path().empty());
  EXPECT_TRUE(missing.FilePath("x").empty());
  EXPECT_TRUE(PrivateFolder("run-", "").Path().empty());
}

TEST_F(TempFilesTest, PrivateFolderChecks) {
  fs::create_directory(In("open"));
  fs::permissions(In("open"), static_cast<fs::perms>(0755));
  fs::create_directory(In("group"));
  fs::permissions(In("group"), static_cast<fs::perms>(0710));
  fs::create_directory(In("mine"));
  fs::permissions(In("mine"), static_cast<fs::perms>(0700));
  fs::create_directory_symlink(In("mine"), In("link"));
  std::ofstream(In("file")) << "x";
  struct Case {
    const char* name;
    bool ensured;
  } cases[] = {{"new", true}, {"mine", true}, {"open", false}, {"group", false},
               {"link", false}, {"file", false}, {"no/such", false}};
  for (const Case& c : cases) {
    EXPECT_EQ(EnsurePrivateFolder(In(c.name)), c.ensured) << c.name;
    EXPECT_EQ(IsPrivateFolder(In(c.name)), c.ensured) << c.name;
  }
  EXPECT_EQ(ModeOf(In("new")), 0700u);
  EXPECT_EQ(ModeOf(In("open")), 0755u);  // checked, not changed
  EXPECT_FALSE(IsPrivateFolder(In("absent")));
  EXPECT_FALSE(fs::exists(In("absent")));
  EXPECT_FALSE(EnsurePrivateFolder(""));
}

TEST_F(TempFilesTest, UniqueFilesAreNewPrivateAndKeepTheirSuffix) {
  std::set<std::string> names;
  for (int i = 0; i < 20; ++i) {
    std::string path;
    const int fd = OpenUniqueFile(In("res"), ".bla", path);
    ASSERT_GE(fd, 0);
    EXPECT_NE(::fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
    EXPECT_EQ(::write(fd, "ab", 2), 2);
    ::close(fd);
    const std::string name = fs::path(path).filename().string();
    EXPECT_EQ(name.size(), 13u) << name;  // "res" + six random + ".bla"
    EXPECT_EQ(name.rfind("res", 0), 0u);
    EXPECT_EQ(name.substr(9), ".bla");
    EXPECT_EQ(ModeOf(path), 0600u);
    EXPECT_EQ(Slurp(path), "ab");
    names.insert(path);
  }
  EXPECT_EQ(names.size(), 20u);
  std::string path = "stale";
  EXPECT_LT(OpenUniqueFile(In("no/such/res"), "", path), 0);
  EXPECT_TRUE(path.empty());
}

TEST_F(TempFilesTest, PrivateFilesAreNeverMadeOverAnotherOrThroughALink) {
  std::ofstream(In("victim")) << "keep";
  fs::create_symlink(In("victim"), In("link"));
  fs::create_symlink(In("nowhere"), In("dangling"));
  for (const char* name : {"victim", "link", "dangling"}) {
    EXPECT_LT(CreatePrivateFile(In(name)), 0) << name;
    EXPECT_FALSE(WritePrivateFile(In(name), "new")) << name;
  }
  for (const char* name : {"link", "dangling"}) EXPECT_FALSE(WritePrivateFile(In(name), "new", true)) << name;
  EXPECT_EQ(Slurp(In("victim")), "keep");
  EXPECT_FALSE(fs::exists(In("nowhere")));
  EXPECT_TRUE(fs::is_symlink(In("link")));

  const int fd = CreatePrivateFile(In("held"));
  ASSERT_GE(fd, 0);
  EXPECT_EQ(::write(fd, "12", 2), 2);
  char back[2] = {};
  EXPECT_EQ(::pread(fd, back, 2, 0), 2);
  EXPECT_EQ(std::string(back, 2), "12");
  EXPECT_NE(::fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
  ::close(fd);
  EXPECT_EQ(ModeOf(In("held")), 0600u);
}

TEST_F(TempFilesTest, WritePrivateFileWritesOrReplacesWhole) {
  EXPECT_TRUE(WritePrivateFile(In("a"), "first text"));
  EXPECT_EQ(Slurp(In("a")), "first text");
  EXPECT_EQ(ModeOf(In("a")), 0600u);
  EXPECT_TRUE(WritePrivateFile(In("a"), "2nd", true));
  EXPECT_EQ(Slurp(In("a")), "2nd");  // the longer old text does not show through
  EXPECT_TRUE(WritePrivateFile(In("one"), "x"));
  EXPECT_EQ(Slurp(In("one")), "x");
  EXPECT_TRUE(WritePrivateFile(In("empty"), ""));
  EXPECT_TRUE(fs::exists(In("empty")));
  EXPECT_EQ(fs::file_size(In("empty")), 0u);
  const std::string big(1 << 20, 'x');
  EXPECT_TRUE(WritePrivateFile(In("big"), big));
  EXPECT_EQ(Slurp(In("big")), big);
  EXPECT_FALSE(WritePrivateFile(In("no/such"), "x"));
}

// A write cut short (the file size limit here) removes the file.
TEST_F(TempFilesTest, AShortWriteLeavesNoFile) {
  for (bool replace : {false, true}) {
    const std::string path = In(replace ? "replaced" : "new");
    if (replace) std::ofstream(path) << "old";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      std::signal(SIGXFSZ, SIG_IGN);
      rlimit limit{10, 10};
      ::setrlimit(RLIMIT_FSIZE, &limit);
      _exit(WritePrivateFile(path, std::string(100, 'x'), replace) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << path;
    EXPECT_FALSE(fs::exists(path)) << path;
  }
}

}  // namespace
