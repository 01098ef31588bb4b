#include "vistram/base/profile.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class ProfileFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = folder_.path();
    path_ = (dir_ / "vistram.cfg").string();
  }

  void Write(const std::string& text) {
    std::ofstream(path_, std::ios::binary) << text;
  }
  std::string Read() const { return test_support::ReadWholeFile(path_); }
  // Nothing but the configuration file is left in the folder (no temporary file).
  void ExpectOnlyTheFile() const {
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir_)) {
      (void)e;
      ++n;
    }
    EXPECT_EQ(n, 1);
  }

  test_support::TempFolder folder_;
  fs::path dir_;
  std::string path_;
};

TEST_F(ProfileFileTest, LookupsIgnoreCaseAndBlanksAndUseTheFirstOccurrence) {
  Write("\xEF\xBB\xBF; comment\r\n[Gui_Pref]\r\n  lbFntSize = 9 \r\nLBLINES=3\r\n[gui_pref]\r\nLBLINES=4\r\n"
        "[Other]\r\nLBLINES=1\r\n");
  ProfileFile f;
  ASSERT_TRUE(f.Load(path_));
  EXPECT_EQ(f.GetInt("GUI_PREF", "LBFNTSIZE", 0), 9);
  EXPECT_EQ(f.GetString("gui_pref", "lbfntsize", "?", 260), "9");
  EXPECT_EQ(f.GetInt("GUI_PREF", "LBLINES", 0), 3);  // the first section of that name
  EXPECT_EQ(f.GetInt("OTHER", "lblines", 0), 1);
  EXPECT_EQ(f.GetInt("GUI_PREF", "CBFNTSIZE", 10), 10);
  EXPECT_EQ(f.GetString("NOPE", "LBLINES", "dflt", 260), "dflt");
  EXPECT_FALSE(f.HasKey("GUI_PREF", "comment"));
}

TEST_F(ProfileFileTest, StringsAreCutToTheBufferAndIntegersTakeTheLeadingNumber) {
  Write("[S]\nLONG=abcdefghij\nEMPTY=\nN1=12abc\nN2= -7 points\nN3=abc\nN4=+5\nN5=99999999999\n");
  ProfileFile f;
  ASSERT_TRUE(f.Load(path_));
  EXPECT_EQ(f.GetString("S", "LONG", "", 5), "abcd");
  EXPECT_EQ(f.GetString("S", "LONG", "", 0), "");
  EXPECT_EQ(f.GetString("S", "MISSING", "defaultvalue", 4), "def");
  EXPECT_EQ(f.GetString("S", "EMPTY", "?", 260), "");
  EXPECT_TRUE(f.HasKey("S", "EMPTY"));
  EXPECT_EQ(f.GetInt("S", "N1", 0), 12);
  EXPECT_EQ(f.GetInt("S", "N2", 0), -7);
  EXPECT_EQ(f.GetInt("S", "N3", 42), 0);  // present but not a number
  EXPECT_EQ(f.GetInt("S", "N4", 0), 5);
  EXPECT_EQ(f.GetInt("S", "N5", 0), 2147483647);
  EXPECT_EQ(f.GetInt("S", "EMPTY", 8), 0);
}

TEST_F(ProfileFileTest, SectionLookupListsKeyLinesInFileOrder) {
  Write("[DB]\nswissprot=SwissProt\n; a comment\nnr = Non redundant\n\n[NEXT]\nx=1\n");
  EXPECT_EQ(GetProfileSection(path_, "db"), (std::vector<std::string>{"swissprot=SwissProt", "nr=Non redundant"}));
  EXPECT_TRUE(GetProfileSection(path_, "MISSING").empty());
}

TEST_F(ProfileFileTest, MissingFileReadsAsDefaultsAndAWriteCreatesIt) {
  EXPECT_EQ(GetProfileInt(path_, "GUI_PREF", "LBLINES", 2), 2);
  EXPECT_EQ(GetProfileString(path_, "INTERNET", "NAVIGATOR", " ", 520), " ");
  ASSERT_TRUE(WriteProfileString(path_, "INTERNET", "NAVIGATOR", "firefox %u"));
  EXPECT_EQ(Read(), "[INTERNET]\nNAVIGATOR=firefox %u\n");
}

TEST_F(ProfileFileTest, WriteReplacesOneValueAndKeepsEveryOtherByte) {
  const std::string before =
      "; settings\r\n[internet]\r\nNavigator =   \r\n  vistweb=/opt/vistweb ; path\r\n\r\n[GUI_PREF]\r\nLBLINES=2";
  Write(before);
  ASSERT_TRUE(WriteProfileString(path_, "INTERNET", "NAVIGATOR", "/usr/bin/firefox %u"));
  EXPECT_EQ(Read(),
            "; settings\r\n[internet]\r\nNavigator =   /usr/bin/firefox %u\r\n  vistweb=/opt/vistweb ; path\r\n"
            "\r\n[GUI_PREF]\r\nLBLINES=2");
  ExpectOnlyTheFile();
}

TEST_F(ProfileFileTest, WriteAddsMissingKeysAfterTheSectionsLastKeyAndMissingSectionsAtTheEnd) {
  Write("[A]\nx=1\n\n; about B\n[B]\ny=2");
  ASSERT_TRUE(WriteProfileString(path_, "a", "NEW", "v"));
  EXPECT_EQ(Read(), "[A]\nx=1\nNEW=v\n\n; about B\n[B]\ny=2");
  ASSERT_TRUE(WriteProfileString(path_, "B", "z", "3"));  // the file had no final line end
  EXPECT_EQ(Read(), "[A]\nx=1\nNEW=v\n\n; about B\n[B]\ny=2\nz=3");
  ASSERT_TRUE(WriteProfileString(path_, "C", "k", ""));
  EXPECT_EQ(Read(), "[A]\nx=1\nNEW=v\n\n; about B\n[B]\ny=2\nz=3\n[C]\nk=\n");
  // A CR LF file gets CR LF lines.
  Write("\xEF\xBB\xBF[A]\r\nx=1\r\n");
  ASSERT_TRUE(WriteProfileString(path_, "D", "k", "v"));
  ASSERT_TRUE(WriteProfileString(path_, "A", "x", "2"));
  EXPECT_EQ(Read(), "\xEF\xBB\xBF[A]\r\nx=2\r\n[D]\r\nk=v\r\n");
  ExpectOnlyTheFile();
}

TEST_F(ProfileFileTest, WritesThatWouldBreakTheFileAreRefusedAndLeaveItIntact) {
  const std::string before = "[A]\nx=1\n";
  Write(before);
  EXPECT_FALSE(WriteProfileString(path_, "A", "x", "two\nlines"));
  EXPECT_FALSE(WriteProfileString(path_, "A", "", "v"));
  EXPECT_FALSE(WriteProfileString(path_, "A]", "x", "v"));
  EXPECT_FALSE(WriteProfileString(path_, "A", "k=y", "v"));
  EXPECT_EQ(Read(), before);
  // A path that exists but is no readable file (a folder) is not replaced.
  EXPECT_FALSE(WriteProfileString(dir_.string(), "A", "x", "2"));
  EXPECT_TRUE(fs::is_directory(dir_));
  // A folder that cannot be written: the old file stays.
  if (::geteuid() != 0) {
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(WriteProfileString(path_, "A", "x", "2"));
    fs::permissions(dir_, fs::perms::owner_all);
    EXPECT_EQ(Read(), before);
  }
  ExpectOnlyTheFile();
}

TEST_F(ProfileFileTest, WriteKeepsThePermissionsOfTheFile) {
  Write("[A]\nx=1\n");
  ::chmod(path_.c_str(), 0640);
  ASSERT_TRUE(WriteProfileString(path_, "A", "x", "2"));
  struct stat st {};
  ASSERT_EQ(::stat(path_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

}  // namespace
