#include "vistram/shell/recent_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class RecentFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/vistram_recent_XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
    cfg_ = (dir_ / "vistram.cfg").string();
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
    return (dir_ / name).string();
  }
  std::string ReadCfg() const {
    std::ifstream in(cfg_, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  fs::path dir_;
  std::string cfg_;
};

TEST(RecentFiles, PushKeepsTheLatestTenWithoutRepeats) {
  std::vector<std::string> list;
  for (int i = 1; i <= 12; ++i) list = PushRecentFile(list, "/r/" + std::to_string(i));
  ASSERT_EQ(list.size(), kMaxRecentFiles);
  EXPECT_EQ(list.front(), "/r/12");
  EXPECT_EQ(list.back(), "/r/3");
  // An entry opened again moves to the top, once.
  list = PushRecentFile(list, "/r/7");
  ASSERT_EQ(list.size(), kMaxRecentFiles);
  EXPECT_EQ(list[0], "/r/7");
  EXPECT_EQ(list[1], "/r/12");
  EXPECT_EQ(std::count(list.begin(), list.end(), "/r/7"), 1);
  // What a profile line cannot hold is not added.
  for (const char* bad : {"", "/r/a\nb", "/r/a\rb"}) EXPECT_EQ(PushRecentFile(list, bad), list) << bad;
}

TEST_F(RecentFilesTest, KeptInTheConfigurationBesideTheOtherSettings) {
  Write("vistram.cfg", "; mine\n[GUI_PREF]\nLBLINES=3\n");
  const std::vector<std::string> list = {"/a/one.bla", "/b/two.msf {msf_file}", "/c/x=y.bla"};
  ASSERT_TRUE(WriteRecentFiles(cfg_, list));
  EXPECT_EQ(ReadRecentFiles(cfg_), list);
  const std::string text = ReadCfg();
  EXPECT_EQ(text.rfind("; mine\n[GUI_PREF]\nLBLINES=3\n", 0), 0u) << text;
  // A shorter list empties the keys it no longer uses.
  ASSERT_TRUE(WriteRecentFiles(cfg_, {"/a/one.bla"}));
  EXPECT_EQ(ReadRecentFiles(cfg_), std::vector<std::string>{"/a/one.bla"});
}

TEST_F(RecentFilesTest, HandEditedListIsCleanedOnReading) {
  Write("vistram.cfg", "[recent_files]\nFILE1=/a\nFILE2=\nFILE3=/b\nFILE4=/a\nFILE11=/ignored\n");
  EXPECT_EQ(ReadRecentFiles(cfg_), (std::vector<std::string>{"/a", "/b"}));
  EXPECT_TRUE(ReadRecentFiles((dir_ / "missing.cfg").string()).empty());
}

TEST_F(RecentFilesTest, AConfigurationThatCannotBeWrittenIsReported) {
  fs::create_directories(dir_ / "folder.cfg");
  EXPECT_FALSE(WriteRecentFiles((dir_ / "folder.cfg").string(), {"/a"}));
}

TEST_F(RecentFilesTest, MsfFilesByNameOrContent) {
  struct Case {
    const char* name;
    const char* text;
    bool msf;
  } cases[] = {
      {"a.msf", "", true},
      {"A.MSF", "anything", true},
      {"clustal.out", "!!AA_MULTIPLE_ALIGNMENT\n\n   MSF: 99  Type: P  Check: 0 ..\n\n//\n", true},
      {"report.bla", "BLASTP 2.2.1\nQuery= x\n", false},
      // The header ends at "//": a line after it does not make an MSF file.
      {"late.txt", "x\n//\n MSF: 3 Check: 1 ..\n", false},
      {"msf.d/report", "BLASTN\n", false},
      {"half.txt", " MSF: 3 Type: N ..\n", false},
  };
  for (const Case& c : cases) {
    fs::create_directories((dir_ / c.name).parent_path());
    const std::string path = Write(c.name, c.text);
    EXPECT_EQ(IsMsfFile(path), c.msf) << c.name;
    EXPECT_EQ(DroppedFileCommandLine(path), c.msf ? path + " {msf_file}" : path) << c.name;
  }
  EXPECT_EQ(RecentFileLabel("/x/a b.msf {msf_file}"), "/x/a b.msf");
  EXPECT_EQ(RecentFileLabel("/x/a.bla"), "/x/a.bla");
}

}  // namespace
