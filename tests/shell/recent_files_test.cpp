#include "vistram/shell/recent_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/temp_folder.h"

namespace {

using V = std::vector<std::string>;

TEST(RecentFiles, PushKeepsTheLatestTenWithoutRepeats) {
  V list;
  for (int i = 1; i <= 12; ++i) list = PushRecentFile(list, "/r/" + std::to_string(i));
  ASSERT_EQ(list.size(), kMaxRecentFiles);
  EXPECT_EQ(list.front(), "/r/12");
  EXPECT_EQ(list.back(), "/r/3");
  // An entry opened again moves to the top, once.
  list = PushRecentFile(list, "/r/7");
  ASSERT_EQ(list.size(), kMaxRecentFiles);
  EXPECT_EQ(V(list.begin(), list.begin() + 2), (V{"/r/7", "/r/12"}));
  EXPECT_EQ(std::count(list.begin(), list.end(), "/r/7"), 1);
  // What a profile line cannot hold is not added.
  for (const char* bad : {"", "/r/a\nb", "/r/a\rb"}) EXPECT_EQ(PushRecentFile(list, bad), list) << bad;
}

TEST(RecentFiles, KeptInTheConfigurationBesideTheOtherSettings) {
  test_support::TempFolder dir;
  const std::string cfg = dir.Write("vistram.cfg", "; mine\n[GUI_PREF]\nLBLINES=3\n");
  const V list = {"/a/one.bla", "/b/two.msf {msf_file}", "/c/x=y.bla"};
  ASSERT_TRUE(WriteRecentFiles(cfg, list));
  EXPECT_EQ(ReadRecentFiles(cfg), list);
  EXPECT_EQ(test_support::ReadWholeFile(cfg).rfind("; mine\n[GUI_PREF]\nLBLINES=3\n", 0), 0u);
  // A shorter list empties the keys it no longer uses.
  ASSERT_TRUE(WriteRecentFiles(cfg, {"/a/one.bla"}));
  EXPECT_EQ(ReadRecentFiles(cfg), V{"/a/one.bla"});
  // A hand-edited list is cleaned on reading.
  dir.Write("vistram.cfg", "[recent_files]\nFILE1=/a\nFILE2=\nFILE3=/b\nFILE4=/a\nFILE11=/ignored\n");
  EXPECT_EQ(ReadRecentFiles(cfg), (V{"/a", "/b"}));
  EXPECT_TRUE(ReadRecentFiles(dir / "missing.cfg").empty());
  std::filesystem::create_directories(dir / "folder.cfg");
  EXPECT_FALSE(WriteRecentFiles(dir / "folder.cfg", {"/a"}));
}

TEST(RecentFiles, MsfFilesByNameOrContent) {
  test_support::TempFolder dir;
  std::filesystem::create_directories(dir / "msf.d");
  const struct {
    const char* name;
    const char* text;
    bool msf;
  } cases[] = {
      {"a.msf", "", true},
      {"A.MSF", "anything", true},
      {"clustal.out", "!!AA_MULTIPLE_ALIGNMENT\n\n   MSF: 99  Type: P  Check: 0 ..\n\n//\n", true},
      {"report.bla", "BLASTP 2.2.1\nQuery= x\n", false},
      {"late.txt", "x\n//\n MSF: 3 Check: 1 ..\n", false},  // after the header's "//"
      {"msf.d/report", "BLASTN\n", false},
      {"half.txt", " MSF: 3 Type: N ..\n", false},
  };
  for (const auto& c : cases) {
    const std::string path = dir.Write(c.name, c.text);
    EXPECT_EQ(IsMsfFile(path), c.msf) << c.name;
    EXPECT_EQ(DroppedFileCommandLine(path), c.msf ? path + " {msf_file}" : path) << c.name;
  }
  EXPECT_EQ(RecentFileLabel("/x/a b.msf {msf_file}"), "/x/a b.msf");
  EXPECT_EQ(RecentFileLabel("/x/a.bla"), "/x/a.bla");
}

}  // namespace
