#include "vistram/base/installation.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

TEST(InstallationPaths, FoldersOfTheProgram) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"/usr/bin/vistram", "/usr/bin", "/usr/share/vistram"},
      {"/opt/v/bin/vistram", "/opt/v/bin", "/opt/v/share/vistram"},
      {"/vistram", "/", "/share/vistram"},
      {"vistram", ".", "../share/vistram"}};
  for (const auto& [program, folder, shared] : cases) {
    EXPECT_EQ(ProgramFolderOf(program), folder) << program;
    EXPECT_EQ(SharedDataFolder(program), shared) << program;
  }
}

// A program tree PREFIX/bin/vistram, PREFIX/share/vistram in a folder of its
// own, with HOME in it and XDG_CONFIG_HOME unset while the test runs.
class InstallationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* key : {"HOME", "XDG_CONFIG_HOME"})
      if (const char* v = std::getenv(key)) saved_[key[0] == 'X'] = v;
    fs::create_directories(At("prefix/bin"));
    ::setenv("HOME", At("home").c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
  }
  void TearDown() override {
    saved_[0] ? ::setenv("HOME", saved_[0]->c_str(), 1) : ::unsetenv("HOME");
    saved_[1] ? ::setenv("XDG_CONFIG_HOME", saved_[1]->c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
    fs::permissions(At("prefix/bin"), fs::perms::owner_all, fs::perm_options::add);
  }
  void Write(const std::string& relative, const std::string& text) {
    fs::create_directories(fs::path(At(relative)).parent_path());
    root_.Write(relative, text);
  }
  std::string Read(const std::string& relative) const { return test_support::ReadWholeFile(At(relative)); }
  std::string At(const std::string& relative) const { return root_ / relative; }
  std::string Error() {
    std::string error;
    return PrepareUserConfig(program_, error) ? "" : error + " ";
  }

  test_support::TempFolder root_;
  std::string program_ = At("prefix/bin/vistram");
  const std::string user_ = At("home/.config/vistram/");
  std::optional<std::string> saved_[2];
};

TEST_F(InstallationTest, UserFolderFromXdgConfigHomeOrHome) {
  EXPECT_EQ(UserConfigFolder(), At("home/.config/vistram"));
  ::setenv("XDG_CONFIG_HOME", At("xdg").c_str(), 1);
  EXPECT_EQ(UserConfigFolder(), At("xdg/vistram"));
  ::setenv("XDG_CONFIG_HOME", "relative", 1);  // not a configuration folder
  EXPECT_EQ(UserConfigFolder(), At("home/.config/vistram"));
  ::unsetenv("HOME");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(UserConfigFolder(), "");
}

TEST_F(InstallationTest, ConfigurationAndDataSearchOrder) {
  const std::string beside = At("prefix/bin/vistram.cfg"), shipped = "prefix/share/vistram/vistram.cfg";
  EXPECT_EQ(BuildConfigPath(program_), beside);  // nowhere: beside, whose absence start-up refuses
  Write(shipped, "[GUI_PREF]\n");
  EXPECT_EQ(BuildConfigPath(program_), user_ + "vistram.cfg");  // installed: the user's copy
  Write("prefix/bin/vistram.cfg", "[GUI_PREF]\n");
  EXPECT_EQ(BuildConfigPath(program_), beside);  // a writable file beside wins (build folder)
  EXPECT_EQ(Error(), "");
  EXPECT_FALSE(fs::exists(At("home/.config")));  // and nothing is copied for it
  // A program that ships nothing does not borrow the user's copy.
  fs::remove(beside);
  fs::remove(At(shipped));
  Write("home/.config/vistram/vistram.cfg", "[GUI_PREF]\n");
  EXPECT_EQ(BuildConfigPath(program_), beside);
  // Data files beside the program first, then shared; nowhere: beside.
  EXPECT_EQ(DataFolderFor(program_, "PROTEINE.TBL"), At("prefix/bin"));
  Write("prefix/share/vistram/PROTEINE.TBL", "A (A)\n");
  EXPECT_EQ(DataFolderFor(program_, "PROTEINE.TBL"), At("prefix/share/vistram"));
  Write("prefix/bin/PROTEINE.TBL", "A (A)\n");
  EXPECT_EQ(DataFolderFor(program_, "PROTEINE.TBL"), At("prefix/bin"));
}

TEST_F(InstallationTest, ReadOnlyFileBesideTheProgramSendsToTheUsersCopy) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes read-only files";
  Write("prefix/bin/vistram.cfg", "[INTERNET]\nNAVIGATOR=\n");
  fs::permissions(At("prefix/bin"), fs::perms::owner_write, fs::perm_options::remove);
  EXPECT_EQ(BuildConfigPath(program_), user_ + "vistram.cfg");
  EXPECT_EQ(Error(), "");
  EXPECT_EQ(Read("home/.config/vistram/vistram.cfg"), "[INTERNET]\nNAVIGATOR=\n");  // nothing shipped: the source
}

TEST_F(InstallationTest, FirstStartCopiesTheShippedFilesOnce) {
  for (const char* name : {"vistram.cfg", "clustalw.cfg", "blast2.cfg", "sample.bla"})
    Write(std::string("prefix/share/vistram/") + name, std::string("shipped ") + name);
  EXPECT_EQ(Error(), "");
  for (const char* name : {"vistram.cfg", "clustalw.cfg", "blast2.cfg"})
    EXPECT_EQ(test_support::ReadWholeFile(user_ + name), std::string("shipped ") + name);
  EXPECT_FALSE(fs::exists(user_ + "sample.bla"));
  EXPECT_FALSE(fs::exists(user_ + "blast2db.cfg"));  // not shipped: not made
  // The user's changes survive the next start; a removed file comes back
  // only while the configuration is missing.
  Write("home/.config/vistram/clustalw.cfg", "mine\n");
  fs::remove(user_ + "blast2.cfg");
  EXPECT_EQ(Error(), "");
  EXPECT_EQ(Read("home/.config/vistram/clustalw.cfg"), "mine\n");
  EXPECT_FALSE(fs::exists(user_ + "blast2.cfg"));
  // A user folder that cannot be made is reported.
  fs::remove_all(At("home/.config"));
  Write("home/.config", "a file where the folder belongs\n");
  EXPECT_NE(Error().find(At("home/.config/vistram")), std::string::npos);
}

}  // namespace
