#include "vistram/base/installation.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "support/temp_folder.h"

namespace fs = std::filesystem;
using test_support::ReadWholeFile;

// clang-format off
namespace {

TEST(InstallationPaths, FoldersOfTheProgram) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"/usr/bin/vistram", "/usr/bin", "/usr/share/vistram"}, {"/vistram", "/", "/share/vistram"},
      {"/opt/v/bin/vistram", "/opt/v/bin", "/opt/v/share/vistram"}, {"vistram", ".", "../share/vistram"}};
  for (const auto& [program, folder, shared] : cases)
    EXPECT_TRUE(ProgramFolderOf(program) == folder && SharedDataFolder(program) == shared) << program;
}

std::optional<std::string> Env(const char* key) { if (const char* v = std::getenv(key)) return v; return {}; }

// A program tree PREFIX/bin/vistram, PREFIX/share/vistram in a folder of its
// own, with HOME in it and XDG_CONFIG_HOME unset while the test runs.
class InstallationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(At("prefix/bin"));
    ::setenv("HOME", At("home").c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
  }
  void TearDown() override {
    for (const auto& [key, value] : saved_) value ? ::setenv(key, value->c_str(), 1) : ::unsetenv(key);
  }
  // Writes `relative` (with its folders), or removes it when `text` is null.
  void Write(const std::string& relative, const char* text = "[GUI_PREF]\n") {
    fs::create_directories(fs::path(At(relative)).parent_path());
    text ? (void)root_.Write(relative, text) : (void)fs::remove(At(relative));
  }
  std::string At(const std::string& relative) const { return root_ / relative; }
  std::string Error() {  // "" when the user's configuration was prepared
    std::string error;
    return PrepareUserConfig(program_, error) ? "" : error + " ";
  }

  const std::pair<const char*, std::optional<std::string>> saved_[2] = {{"HOME", Env("HOME")},
                                                                        {"XDG_CONFIG_HOME", Env("XDG_CONFIG_HOME")}};
  test_support::TempFolder root_;
  const std::string program_ = At("prefix/bin/vistram"), beside_ = At("prefix/bin/vistram.cfg");
  const std::string user_ = At("home/.config/vistram/");
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
  EXPECT_EQ(BuildConfigPath(program_), beside_);  // nowhere: beside, whose absence start-up refuses
  Write("prefix/share/vistram/vistram.cfg");
  EXPECT_EQ(BuildConfigPath(program_), user_ + "vistram.cfg");  // installed: the user's copy
  Write("prefix/bin/vistram.cfg");
  EXPECT_EQ(BuildConfigPath(program_), beside_);  // a writable file beside wins (build folder)
  EXPECT_TRUE(Error().empty() && !fs::exists(At("home/.config")));  // and nothing is copied for it
  Write("prefix/bin/vistram.cfg", nullptr);
  Write("prefix/share/vistram/vistram.cfg", nullptr);
  Write("home/.config/vistram/vistram.cfg");
  EXPECT_EQ(BuildConfigPath(program_), beside_);  // a program that ships nothing does not borrow the user's copy
  // Data files beside the program first, then shared; nowhere: beside.
  EXPECT_EQ(DataFolderFor(program_, "PROTEINE.TBL"), At("prefix/bin"));
  Write("prefix/share/vistram/PROTEINE.TBL");
  EXPECT_EQ(DataFolderFor(program_, "PROTEINE.TBL"), At("prefix/share/vistram"));
  Write("prefix/bin/PROTEINE.TBL");
  EXPECT_EQ(DataFolderFor(program_, "PROTEINE.TBL"), At("prefix/bin"));
}

TEST_F(InstallationTest, ReadOnlyFileBesideTheProgramSendsToTheUsersCopy) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes read-only files";
  Write("prefix/bin/vistram.cfg", "[INTERNET]\nNAVIGATOR=\n");
  fs::permissions(At("prefix/bin"), fs::perms::owner_write, fs::perm_options::remove);
  EXPECT_EQ(BuildConfigPath(program_), user_ + "vistram.cfg");
  EXPECT_EQ(Error(), "");
  EXPECT_EQ(ReadWholeFile(user_ + "vistram.cfg"), "[INTERNET]\nNAVIGATOR=\n");  // nothing shipped: this one
  fs::permissions(At("prefix/bin"), fs::perms::owner_write, fs::perm_options::add);
}

// Copied once; the user's changes survive the next start, a removed file
// comes back only while the configuration is missing.
TEST_F(InstallationTest, FirstStartCopiesTheShippedFilesOnce) {
  for (const std::string name : {"vistram.cfg", "clustalw.cfg", "blast2.cfg", "sample.bla"})
    Write("prefix/share/vistram/" + name, name.c_str());
  EXPECT_EQ(Error(), "");
  for (const std::string name : {"vistram.cfg", "clustalw.cfg", "blast2.cfg"})
    EXPECT_EQ(ReadWholeFile(user_ + name), name);
  EXPECT_FALSE(fs::exists(user_ + "sample.bla") || fs::exists(user_ + "blast2db.cfg"));  // not shipped: not made
  Write("home/.config/vistram/clustalw.cfg", "mine\n");
  Write("home/.config/vistram/blast2.cfg", nullptr);
  EXPECT_EQ(Error(), "");
  EXPECT_TRUE(ReadWholeFile(user_ + "clustalw.cfg") == "mine\n" && !fs::exists(user_ + "blast2.cfg"));
  fs::remove_all(At("home/.config"));  // a user folder that cannot be made is reported
  Write("home/.config", "a file where the folder belongs\n");
  EXPECT_NE(Error().find(At("home/.config/vistram")), std::string::npos);
}

}  // namespace
// clang-format on
