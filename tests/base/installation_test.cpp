#include "vistram/base/installation.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// A program tree in a private folder: PREFIX/bin/vistram, PREFIX/share/vistram,
// and a home of its own (HOME and XDG_CONFIG_HOME point into it while the
// test runs).
class InstallationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/vistram_install_XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    root_ = name;
    fs::create_directories(root_ / "prefix/bin");
    fs::create_directories(root_ / "home");
    program_ = (root_ / "prefix/bin/vistram").string();
    Save("HOME");
    Save("XDG_CONFIG_HOME");
    setenv("HOME", (root_ / "home").c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
  }
  void TearDown() override {
    for (const auto& [key, value] : saved_) {
      if (value.has_value())
        setenv(key.c_str(), value->c_str(), 1);
      else
        unsetenv(key.c_str());
    }
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(root_);
  }
  void Save(const char* key) {
    const char* v = std::getenv(key);
    saved_.emplace_back(key, v ? std::optional<std::string>(v) : std::nullopt);
  }
  void Write(const std::string& relative, const std::string& text) {
    fs::create_directories((root_ / relative).parent_path());
    std::ofstream(root_ / relative, std::ios::binary) << text;
  }
  std::string Read(const std::string& relative) const {
    std::ifstream in(root_ / relative, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string At(const std::string& relative) const { return (root_ / relative).string(); }

  fs::path root_;
  std::string program_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(InstallationPaths, FoldersOfTheProgram) {
  struct Case {
    const char* program;
    const char* folder;
    const char* shared;
  } cases[] = {
      {"/usr/bin/vistram", "/usr/bin", "/usr/share/vistram"},
      {"/opt/v/bin/vistram", "/opt/v/bin", "/opt/v/share/vistram"},
      {"/vistram", "/", "/share/vistram"},
      {"vistram", ".", "../share/vistram"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProgramFolderOf(c.program), c.folder) << c.program;
    EXPECT_EQ(SharedDataFolder(c.program), c.shared) << c.program;
  }
}

TEST_F(InstallationTest, UserFolderFromXdgConfigHomeOrHome) {
  EXPECT_EQ(UserConfigFolder(), At("home/.config/vistram"));
  setenv("XDG_CONFIG_HOME", At("xdg").c_str(), 1);
  EXPECT_EQ(UserConfigFolder(), At("xdg/vistram"));
  // A relative XDG_CONFIG_HOME is not a configuration folder.
  setenv("XDG_CONFIG_HOME", "relative", 1);
  EXPECT_EQ(UserConfigFolder(), At("home/.config/vistram"));
  unsetenv("HOME");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(UserConfigFolder(), "");
}

TEST_F(InstallationTest, ConfigurationSearchOrder) {
  const std::string beside = At("prefix/bin/vistram.cfg");
  const std::string user = At("home/.config/vistram/vistram.cfg");
  // Nothing anywhere: the path beside the program, whose absence start-up refuses.
  EXPECT_EQ(BuildConfigPath(program_), beside);
  // An installed program: the user's copy of the shipped file.
  Write("prefix/share/vistram/vistram.cfg", "[GUI_PREF]\n");
  EXPECT_EQ(BuildConfigPath(program_), user);
  // A writable file beside the program wins (build folder, portable copy).
  Write("prefix/bin/vistram.cfg", "[GUI_PREF]\n");
  EXPECT_EQ(BuildConfigPath(program_), beside);
  // A program that ships nothing does not borrow the user's copy: it is
  // refused as an incomplete release.
  fs::remove(beside);
  fs::remove(At("prefix/share/vistram/vistram.cfg"));
  Write("home/.config/vistram/vistram.cfg", "[GUI_PREF]\n");
  EXPECT_EQ(BuildConfigPath(program_), beside);
}

TEST_F(InstallationTest, ReadOnlyFileBesideTheProgramSendsToTheUsersCopy) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes read-only files";
  Write("prefix/bin/vistram.cfg", "[INTERNET]\nNAVIGATOR=\n");
  fs::permissions(At("prefix/bin"), fs::perms::owner_write, fs::perm_options::remove);
  EXPECT_EQ(BuildConfigPath(program_), At("home/.config/vistram/vistram.cfg"));
  std::string error;
  ASSERT_TRUE(PrepareUserConfig(program_, error)) << error;
  // The read-only copy beside the program is the source when nothing is shipped.
  EXPECT_EQ(Read("home/.config/vistram/vistram.cfg"), "[INTERNET]\nNAVIGATOR=\n");
}

TEST_F(InstallationTest, FirstStartCopiesTheShippedFilesOnce) {
  Write("prefix/share/vistram/vistram.cfg", "[CLUSTAL]\nCONFIG_FILE=clustalw.cfg\n");
  Write("prefix/share/vistram/clustalw.cfg", "shipped clustal\n");
  Write("prefix/share/vistram/blast2.cfg", "shipped blast\n");
  Write("prefix/share/vistram/sample.bla", "not a setting\n");
  std::string error;
  ASSERT_TRUE(PrepareUserConfig(program_, error)) << error;
  EXPECT_EQ(Read("home/.config/vistram/vistram.cfg"), "[CLUSTAL]\nCONFIG_FILE=clustalw.cfg\n");
  EXPECT_EQ(Read("home/.config/vistram/clustalw.cfg"), "shipped clustal\n");
  EXPECT_EQ(Read("home/.config/vistram/blast2.cfg"), "shipped blast\n");
  EXPECT_FALSE(fs::exists(At("home/.config/vistram/sample.bla")));
  EXPECT_FALSE(fs::exists(At("home/.config/vistram/blast2db.cfg")));  // not shipped: not made
  // The user's changes survive the next start; a file the user removed
  // comes back from the shipped one only while the configuration is missing.
  Write("home/.config/vistram/clustalw.cfg", "mine\n");
  fs::remove(At("home/.config/vistram/blast2.cfg"));
  ASSERT_TRUE(PrepareUserConfig(program_, error)) << error;
  EXPECT_EQ(Read("home/.config/vistram/clustalw.cfg"), "mine\n");
  EXPECT_FALSE(fs::exists(At("home/.config/vistram/blast2.cfg")));
}

TEST_F(InstallationTest, NothingCopiedForAProgramWithItsOwnConfiguration) {
  Write("prefix/bin/vistram.cfg", "beside\n");
  Write("prefix/share/vistram/vistram.cfg", "shipped\n");
  std::string error;
  ASSERT_TRUE(PrepareUserConfig(program_, error));
  EXPECT_FALSE(fs::exists(At("home/.config")));
}

TEST_F(InstallationTest, AUserFolderThatCannotBeMadeIsReported) {
  Write("prefix/share/vistram/vistram.cfg", "shipped\n");
  Write("home/.config", "a file where the folder belongs\n");
  std::string error;
  EXPECT_FALSE(PrepareUserConfig(program_, error));
  EXPECT_NE(error.find(At("home/.config/vistram")), std::string::npos) << error;
}

TEST_F(InstallationTest, DataFilesBesideTheProgramFirstThenShared) {
  const std::string bin = At("prefix/bin");
  const std::string shared = At("prefix/share/vistram");
  EXPECT_EQ(DataFolderFor(program_, "PROTEINE.TBL"), bin);  // nowhere: the reader reports it beside
  Write("prefix/share/vistram/PROTEINE.TBL", "A (A)\n");
  EXPECT_EQ(DataFolderFor(program_, "PROTEINE.TBL"), shared);
  Write("prefix/bin/PROTEINE.TBL", "A (A)\n");
  EXPECT_EQ(DataFolderFor(program_, "PROTEINE.TBL"), bin);
  EXPECT_EQ(DataFolderFor(program_, "ADN.TBL"), bin);
}

}  // namespace
