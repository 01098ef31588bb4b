#include "vistram/patterns/motif_file.h"

#include <gtest/gtest.h>

#include "patterns_test_support.h"
#include "vistram/platform/recording_platform.h"

namespace {

TEST(MotifFile, ReadsEntriesByTheLineRules) {
  PatternsTempDir dir;
  const std::string path = dir.Write("three.mot",
                                     "PA BEFORE any entry\n"
                                     "#MOTIF first\n"
                                     "DE KDEL retention\r\n"
                                     "PA KDEL\n"
                                     "#MOTIF\n"
                                     "DE  no pattern here\n"
                                     "XX: PA skipped (colon in the head)\n"
                                     " : PA skipped too\n"
                                     "#MOTIF\n"
                                     "PA A(DE){3}K\n"
                                     " DEsc from the fourth character\n"
                                     "random line\n");
  std::vector<PatternEntry> e;
  ASSERT_TRUE(ReadMotifs(path, e));
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0].description, "1. KDEL retention");
  EXPECT_EQ(e[0].pattern, "KDEL");
  EXPECT_EQ(e[1].description, "2.  no pattern here");  // two blanks after the tag keep one
  EXPECT_EQ(e[1].pattern, "");
  EXPECT_EQ(e[2].description, "3. sc from the fourth character");
  EXPECT_EQ(e[2].pattern, "A(DE){3}K");
}

TEST(MotifFile, CutsLongLinesAndTexts) {
  PatternsTempDir dir;
  // A 250-character PA line: the reader keeps 199 characters of it, the entry 99.
  const std::string longPattern(247, 'K');
  const std::string path = dir.Write("long.mot", "#MOTIF\nPA " + longPattern + "\nDE " + std::string(150, 'd') + "\n");
  std::vector<PatternEntry> e;
  ASSERT_TRUE(ReadMotifs(path, e));
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].pattern, std::string(99, 'K'));
  EXPECT_EQ(e[0].description.size(), 99u);
  EXPECT_FALSE(ReadMotifs(dir.Path() + "/missing.mot", e));
  EXPECT_TRUE(e.empty());
}

PatternFileState ThreeEntries() {
  PatternFileState s;
  s.entries = {{"KDEL", "1. one"}, {"", "2. two"}, {"a(de)", "3. three"}};
  return s;
}

TEST(MotifFile, ChoosingEntriesAndThePatternsOfAFind) {
  struct Case {
    std::vector<std::size_t> selected;
    bool chosen;
    const char* description;
    const char* pattern;
    std::vector<std::string> searched;  // with the fields as the dialog leaves them
  };
  const std::vector<Case> cases = {
      {{0}, true, "1. one", "KDEL", {"KDEL"}},
      {{2}, true, "3. three", "a(de)", {"A(DE)"}},  // the field's text is searched in upper case
      {{0, 1, 2}, true, "All patterns", "", {"KDEL", "", "a(de)"}},  // file patterns keep their case
      {{2, 0}, true, "Some patterns", "", {"KDEL", "a(de)"}},  // in file order
      {{}, false, "", "", {""}},
      {{7}, false, "", "", {""}},
  };
  for (const Case& c : cases) {
    PatternFileState s = ThreeEntries();
    EXPECT_EQ(ChooseEntries(s, c.selected), c.chosen);
    EXPECT_EQ(s.description, c.description);
    EXPECT_EQ(s.pattern, c.pattern);
    EXPECT_EQ(PatternsToSearch(s.description, s.pattern, s), c.searched) << c.description;
  }
  // Typing a pattern empties the description: the typed text alone is searched.
  PatternFileState s = ThreeEntries();
  ChooseEntries(s, {0, 1, 2});
  EXPECT_EQ(PatternsToSearch("", "kk{2}v", s), std::vector<std::string>{"KK{2}V"});
  EXPECT_EQ(PatternsToSearch("", std::string(150, 'k'), s)[0], std::string(99, 'K'));
}

class ChooseFileTest : public ::testing::Test {
 protected:
  void SetUp() override { SetCurrentPlatform(&platform_); }
  void TearDown() override { SetCurrentPlatform(nullptr); }
  RecordingPlatform platform_;
  PatternsTempDir dir_;
};

TEST_F(ChooseFileTest, ResultsAndMessages) {
  const std::string good = dir_.Write("good.mot", "#MOTIF\nPA KK\n");
  PatternFileState s = ThreeEntries();
  s.path = dir_.Path() + "/old.mot";
  platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, good, "good.mot"});
  EXPECT_EQ(ChooseFileName2(nullptr, s), 1);
  ASSERT_EQ(s.entries.size(), 1u);
  EXPECT_EQ(s.title, "good.mot");
  const auto request = platform_.FileRequests().at(0);
  EXPECT_EQ(request.initialFolder, dir_.Path());
  ASSERT_EQ(request.filters.size(), 2u);
  EXPECT_EQ(request.filters[0].text, "motif(*.mot)");
  EXPECT_EQ(request.filters[1].patterns, "*.*");

  EXPECT_EQ(ChooseFileName2(nullptr, s), 2);  // cancelled: nothing changes
  EXPECT_EQ(s.entries.size(), 1u);
  EXPECT_TRUE(platform_.Messages().empty());

  platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, dir_.Path() + "/gone.mot", "gone.mot"});
  EXPECT_EQ(ChooseFileName2(nullptr, s), 0);
  EXPECT_TRUE(s.entries.empty());
  ASSERT_EQ(platform_.Messages().size(), 1u);
  EXPECT_EQ(platform_.Messages()[0].text, "Problem with the file of patterns !");
  EXPECT_EQ(platform_.Messages()[0].caption, "Find patterns");
}

}  // namespace
