#include "vistram/base/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace fs = std::filesystem;

// clang-format off
namespace {

class ProfileFileTest : public ::testing::Test {
 protected:
  void Write(const std::string& text) { folder_.Write("vistram.cfg", text); }
  std::string Read() const { return test_support::ReadWholeFile(path_); }
  // One write and the whole file after it; no temporary file is left beside.
  std::string After(const char* section, const char* key, const char* value) {
    EXPECT_TRUE(WriteProfileString(path_, section, key, value)) << section << "/" << key;
    EXPECT_EQ(folder_.EntryCount(), 1u);
    return Read();
  }
  test_support::TempFolder folder_;
  std::string path_ = folder_ / "vistram.cfg";
};

TEST_F(ProfileFileTest, LookupsIgnoreCaseAndBlanksAndTakeTheFirstOccurrenceAndLeadingNumber) {
  Write("\xEF\xBB\xBF; comment\r\n[Gui_Pref]\r\n  lbFntSize = 9 \r\nLBLINES=3\r\n[gui_pref]\r\nLBLINES=4\r\n"
        "[Other]\r\nLBLINES=1\r\n[DB]\nswissprot=SwissProt\n; a comment\nnr = Non redundant\n\n"
        "[S]\nLONG=abcdefghij\nEMPTY=\nN1=12abc\nN2= -7 points\nN3=abc\nN4=+5\nN5=99999999999\n");
  ProfileFile f;
  ASSERT_TRUE(f.Load(path_));
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
  EXPECT_TRUE(!f.HasKey("GUI_PREF", "comment") && f.HasKey("S", "EMPTY"));
  EXPECT_EQ(GetProfileSection(path_, "db"), (std::vector<std::string>{"swissprot=SwissProt", "nr=Non redundant"}));
  EXPECT_TRUE(GetProfileSection(path_, "MISSING").empty());
}

TEST_F(ProfileFileTest, WritesChangeOneLineAndKeepEveryOtherByte) {
  EXPECT_EQ(GetProfileInt(path_, "GUI_PREF", "LBLINES", 2), 2);  // a missing file reads as defaults
  EXPECT_EQ(GetProfileString(path_, "INTERNET", "NAVIGATOR", " ", 520), " ");
  EXPECT_EQ(After("INTERNET", "NAVIGATOR", "firefox %u"), "[INTERNET]\nNAVIGATOR=firefox %u\n");
  Write("; settings\r\n[internet]\r\nNavigator =   \r\n  vistweb=/opt/vistweb ; path\r\n\r\n[GUI_PREF]\r\nLBLINES=2");
  ::chmod(path_.c_str(), 0640);
  EXPECT_EQ(After("INTERNET", "NAVIGATOR", "/usr/bin/firefox %u"),
            "; settings\r\n[internet]\r\nNavigator =   /usr/bin/firefox %u\r\n  vistweb=/opt/vistweb ; path\r\n"
            "\r\n[GUI_PREF]\r\nLBLINES=2");
  EXPECT_EQ(fs::status(path_).permissions(), static_cast<fs::perms>(0640));
  // Missing keys go after the section's last key, missing sections at the end.
  Write("[A]\nx=1\n\n; about B\n[B]\ny=2");
  EXPECT_EQ(After("a", "NEW", "v"), "[A]\nx=1\nNEW=v\n\n; about B\n[B]\ny=2");
  EXPECT_EQ(After("B", "z", "3"), "[A]\nx=1\nNEW=v\n\n; about B\n[B]\ny=2\nz=3");  // no final line end before
  EXPECT_EQ(After("C", "k", ""), "[A]\nx=1\nNEW=v\n\n; about B\n[B]\ny=2\nz=3\n[C]\nk=\n");
  Write("\xEF\xBB\xBF[A]\r\nx=1\r\n");  // a CR LF file gets CR LF lines
  After("D", "k", "v");
  const std::string before = After("A", "x", "2");
  EXPECT_EQ(before, "\xEF\xBB\xBF[A]\r\nx=2\r\n[D]\r\nk=v\r\n");
  // Writes that would break the file are refused and leave it as it was.
  for (const auto& [section, key, value] :
       {std::tuple{"A", "x", "two\nlines"}, {"A", "", "v"}, {"A]", "x", "v"}, {"A", "k=y", "v"}})
    EXPECT_FALSE(WriteProfileString(path_, section, key, value)) << section << key << value;
  EXPECT_FALSE(WriteProfileString(folder_.path(), "A", "x", "2"));  // a folder is no file to replace
  EXPECT_TRUE(fs::is_directory(folder_.path()));
  if (::geteuid() != 0) {  // a folder that cannot be written: the old file stays
    fs::permissions(folder_.path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(WriteProfileString(path_, "A", "x", "3"));
    fs::permissions(folder_.path(), fs::perms::owner_all);
  }
  EXPECT_TRUE(Read() == before && folder_.EntryCount() == 1);
}

}  // namespace
// clang-format on
