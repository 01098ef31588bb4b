// The configuration files: where they are looked for, copied at first start, read and written.
#include "vistram/base/installation.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "support/temp_folder.h"
#include "vistram/base/profile.h"

namespace fs = std::filesystem;
using test_support::ReadWholeFile;

// clang-format off
namespace {

std::optional<std::string> Env(const char* key) { if (const char* v = std::getenv(key)) return v; return {}; }

// PREFIX/bin/vistram and PREFIX/share/vistram in a folder with HOME in it; XDG_CONFIG_HOME unset.
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
  // One profile write and the whole file after it; no temporary file is left beside ("prefix" and the file).
  std::string After(const char* section, const char* key, const char* value) {
    EXPECT_TRUE(WriteProfileString(cfg_, section, key, value)) << section << "/" << key;
    EXPECT_EQ(root_.EntryCount(), 2u);
    return ReadWholeFile(cfg_);
  }
  std::string Error() {  // "" when the user's configuration was prepared
    std::string error;
    return PrepareUserConfig(program_, error) ? "" : error + " ";
  }

  const std::pair<const char*, std::optional<std::string>> saved_[2] = {{"HOME", Env("HOME")},
                                                                        {"XDG_CONFIG_HOME", Env("XDG_CONFIG_HOME")}};
  test_support::TempFolder root_;
  const std::string program_ = At("prefix/bin/vistram"), beside_ = At("prefix/bin/vistram.cfg");
  const std::string user_ = At("home/.config/vistram/"), cfg_ = At("p.cfg");
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

TEST_F(InstallationTest, FoldersConfigurationAndDataSearchOrder) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"/usr/bin/vistram", "/usr/bin", "/usr/share/vistram"}, {"/vistram", "/", "/share/vistram"},
      {"/opt/v/bin/vistram", "/opt/v/bin", "/opt/v/share/vistram"}, {"vistram", ".", "../share/vistram"}};
  for (const auto& [program, folder, shared] : cases)
    EXPECT_TRUE(ProgramFolderOf(program) == folder && SharedDataFolder(program) == shared) << program;
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

// Copied once: the user's changes stay, a removed file comes back only while the configuration is missing.
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

// Lookups ignore case and blanks, take the first occurrence and the leading number; writes change one line.
TEST_F(InstallationTest, ProfileReadsAndWritesKeepEveryOtherByte) {
  EXPECT_TRUE(GetProfileInt(cfg_, "GUI_PREF", "LBLINES", 2) == 2 && GetProfileString(cfg_, "A", "B", " ", 520) == " ");
  Write("p.cfg", "\xEF\xBB\xBF; comment\r\n[Gui_Pref]\r\n  lbFntSize = 9 \r\nLBLINES=3\r\n[gui_pref]\r\nLBLINES=4\r\n"
                 "[Other]\r\nLBLINES=1\r\n[DB]\nswissprot=SwissProt\n; a comment\nnr = Non redundant\n\n"
                 "[S]\nLONG=abcdefghij\nEMPTY=\nN1=12abc\nN2= -7 points\nN3=abc\nN4=+5\nN5=99999999999\n");
  ProfileFile f;
  ASSERT_TRUE(f.Load(cfg_));
  const std::tuple<const char*, const char*, int, int> ints[] = {
      {"GUI_PREF", "LBFNTSIZE", 0, 9}, {"GUI_PREF", "LBLINES", 0, 3}, {"OTHER", "lblines", 0, 1},
      {"GUI_PREF", "CBFNTSIZE", 10, 10}, {"S", "N1", 0, 12}, {"S", "N2", 0, -7}, {"S", "N3", 42, 0},
      {"S", "N4", 0, 5}, {"S", "N5", 0, 2147483647}, {"S", "EMPTY", 8, 0}};
  for (const auto& [section, key, fallback, value] : ints) EXPECT_EQ(f.GetInt(section, key, fallback), value) << key;
  const std::tuple<const char*, const char*, const char*, int, const char*> strings[] = {
      {"gui_pref", "lbfntsize", "?", 260, "9"}, {"NOPE", "LBLINES", "dflt", 260, "dflt"}, {"S", "LONG", "", 5, "abcd"},
      {"S", "LONG", "", 0, ""}, {"S", "MISSING", "defaultvalue", 4, "def"}, {"S", "EMPTY", "?", 260, ""}};
  for (const auto& [section, key, fallback, size, value] : strings)
    EXPECT_EQ(f.GetString(section, key, fallback, size), value) << key << size;
  EXPECT_TRUE(!f.HasKey("GUI_PREF", "comment") && f.HasKey("S", "EMPTY") && GetProfileSection(cfg_, "NO").empty());
  EXPECT_EQ(GetProfileSection(cfg_, "db"), (std::vector<std::string>{"swissprot=SwissProt", "nr=Non redundant"}));
  Write("p.cfg", nullptr);
  EXPECT_EQ(After("INTERNET", "NAVIGATOR", "firefox %u"), "[INTERNET]\nNAVIGATOR=firefox %u\n");
  Write("p.cfg", "; settings\r\n[internet]\r\nNavigator =   \r\n  vistweb=/opt/vistweb ; path\r\n\r\n"
                 "[GUI_PREF]\r\nLBLINES=2");
  ::chmod(cfg_.c_str(), 0640);
  EXPECT_EQ(After("INTERNET", "NAVIGATOR", "/usr/bin/firefox %u"),
            "; settings\r\n[internet]\r\nNavigator =   /usr/bin/firefox %u\r\n  vistweb=/opt/vistweb ; path\r\n"
            "\r\n[GUI_PREF]\r\nLBLINES=2");
  EXPECT_EQ(fs::status(cfg_).permissions(), static_cast<fs::perms>(0640));
  // Missing keys go after the section's last key, missing sections at the end.
  Write("p.cfg", "[A]\nx=1\n\n; about B\n[B]\ny=2");
  EXPECT_EQ(After("a", "NEW", "v"), "[A]\nx=1\nNEW=v\n\n; about B\n[B]\ny=2");
  EXPECT_EQ(After("B", "z", "3"), "[A]\nx=1\nNEW=v\n\n; about B\n[B]\ny=2\nz=3");  // no final line end before
  EXPECT_EQ(After("C", "k", ""), "[A]\nx=1\nNEW=v\n\n; about B\n[B]\ny=2\nz=3\n[C]\nk=\n");
  Write("p.cfg", "\xEF\xBB\xBF[A]\r\nx=1\r\n");  // a CR LF file gets CR LF lines
  After("D", "k", "v");
  const std::string before = After("A", "x", "2");
  EXPECT_EQ(before, "\xEF\xBB\xBF[A]\r\nx=2\r\n[D]\r\nk=v\r\n");
  // Writes that would break the file are refused and leave it as it was.
  for (const auto& [section, key, value] :
       {std::tuple{"A", "x", "two\nlines"}, {"A", "", "v"}, {"A]", "x", "v"}, {"A", "k=y", "v"}})
    EXPECT_FALSE(WriteProfileString(cfg_, section, key, value)) << section << key << value;
  EXPECT_FALSE(WriteProfileString(root_.path(), "A", "x", "2"));  // a folder is no file to replace
  EXPECT_TRUE(fs::is_directory(root_.path()));
  if (::geteuid() != 0) {  // a folder that cannot be written: the old file stays
    fs::permissions(root_.path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(WriteProfileString(cfg_, "A", "x", "3"));
    fs::permissions(root_.path(), fs::perms::owner_all);
  }
  EXPECT_TRUE(ReadWholeFile(cfg_) == before && root_.EntryCount() == 2);
}

}  // namespace
// clang-format on
