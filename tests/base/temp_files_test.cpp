#include "vistram/base/temp_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <set>

#include "support/temp_folder.h"

namespace fs = std::filesystem;
using test_support::ReadWholeFile;

// clang-format off
namespace {

// Type and permissions of `p` itself (a link is not followed).
unsigned ModeOf(const std::string& p) { struct stat st {}; return ::lstat(p.c_str(), &st) == 0 ? st.st_mode : 0; }
bool CloseOnExec(int fd) { return (::fcntl(fd, F_GETFD) & FD_CLOEXEC) != 0; }

TEST(TemporaryFolderTest, TmpdirWhenSetElseTmp) {
  const char* saved = std::getenv("TMPDIR");
  const std::string old = saved != nullptr ? saved : "";
  const std::pair<const char*, const char*> cases[] = {{nullptr, "/tmp"}, {"", "/tmp"}, {"/var/x", "/var/x"},
                                                       {"/var/x//", "/var/x"}, {"/", "/"}, {"//", "/"}};
  for (const auto& [tmpdir, folder] : cases) {
    tmpdir != nullptr ? ::setenv("TMPDIR", tmpdir, 1) : ::unsetenv("TMPDIR");
    EXPECT_EQ(TemporaryFolder(), folder) << (tmpdir ? tmpdir : "(unset)");
  }
  saved != nullptr ? ::setenv("TMPDIR", old.c_str(), 1) : ::unsetenv("TMPDIR");
}

class TempFilesTest : public ::testing::Test {
 protected:
  PrivateFolder dir_{"temp-files-test-"};
  std::string In(const std::string& name) const { return dir_.FilePath(name); }
};

TEST_F(TempFilesTest, PrivateFoldersAreFreshPrivateAndGoWithTheirContent) {
  std::string made;
  {
    PrivateFolder a("run-", dir_.Path() + "/"), b("run-", dir_.Path());
    made = a.Path();
    for (const std::string& p : {a.Path(), b.Path()})  // "run-" and six characters, 0700, in the parent
      EXPECT_TRUE(p.rfind(In("run-"), 0) == 0 && p.size() == In("run-").size() + 6 && ModeOf(p) == 040700) << p;
    EXPECT_NE(a.Path(), b.Path());
    EXPECT_EQ(a.FilePath("x.txt"), a.Path() + "/x.txt");
    fs::create_directory(a.FilePath("sub"));
    std::ofstream(a.FilePath("sub/f")) << "data";
  }
  EXPECT_FALSE(fs::exists(made));
  PrivateFolder missing("run-", In("no/such"));  // cannot be made: no path, no names in it
  EXPECT_TRUE(missing.Path().empty() && missing.FilePath("x").empty() && PrivateFolder("run-", "").Path().empty());
  // Ensured (made 0700 when missing) or checked, never changed.
  for (const auto& [name, mode] : {std::pair{"open", 0755}, {"group", 0710}, {"mine", 0700}})
    fs::create_directory(In(name)), fs::permissions(In(name), static_cast<fs::perms>(mode));
  fs::create_directory_symlink(In("mine"), In("link"));
  std::ofstream(In("file")) << "x";
  const std::tuple<const char*, bool, unsigned> cases[] = {{"new", true, 040700}, {"mine", true, 040700},
      {"open", false, 040755}, {"group", false, 040710}, {"link", false, 0120777}, {"no/such", false, 0}};
  for (const auto& [name, ensured, mode] : cases) {
    EXPECT_EQ(EnsurePrivateFolder(In(name)), ensured) << name;
    EXPECT_EQ(IsPrivateFolder(In(name)), ensured) << name;
    EXPECT_EQ(ModeOf(In(name)), mode) << name;
  }
  EXPECT_FALSE(EnsurePrivateFolder(In("file")) || IsPrivateFolder(In("file")) || EnsurePrivateFolder(""));
  EXPECT_FALSE(IsPrivateFolder(In("absent")) || fs::exists(In("absent")));
}

TEST_F(TempFilesTest, UniqueAndPrivateFilesAreNewPrivateAndCloseOnExec) {
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
}

TEST_F(TempFilesTest, WritePrivateFileWritesWholeOrLeavesNoFile) {
  const std::string texts[] = {"first text", "2nd", "", std::string(1 << 20, 'x')};
  for (const std::string& text : texts) {  // a longer old text does not show through
    EXPECT_TRUE(WritePrivateFile(In("a"), text, text[0] != 'f'));
    EXPECT_TRUE(ReadWholeFile(In("a")) == text && ModeOf(In("a")) == 0100600) << text.size();
  }
  EXPECT_FALSE(WritePrivateFile(In("no/such"), "x"));
  for (bool replace : {false, true}) {  // a write cut short (a file size limit) removes the file
    const std::string path = In(replace ? "replaced" : "new");
    if (replace) std::ofstream(path) << "old";
    const pid_t child = ::fork();
    if (child == 0) {
      std::signal(SIGXFSZ, SIG_IGN);
      rlimit limit{10, 10};
      _exit(::setrlimit(RLIMIT_FSIZE, &limit) != 0 || WritePrivateFile(path, std::string(100, 'x'), replace));
    }
    int status = 0;
    EXPECT_TRUE(::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0) << path;
    EXPECT_FALSE(fs::exists(path)) << path;
  }
}

}  // namespace
// clang-format on
