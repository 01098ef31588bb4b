#include "vistram/patterns/motif_file.h"

#include <gtest/gtest.h>

#include "patterns_test_support.h"
#include "vistram/platform/recording_platform.h"

namespace {

TEST(MotifFile, LineRulesCutsAndTheChoiceOfEntries) {
  PatternsTempDir dir;
  std::vector<PatternEntry> e;
  ASSERT_TRUE(ReadMotifs(dir.Write("three.mot", "PA BEFORE any entry\n#MOTIF first\nDE KDEL retention\r\nPA KDEL\n"
      "#MOTIF\nDE  no pattern here\nXX: PA skipped (colon in the head)\n : PA skipped too\n"
      "#MOTIF\nPA A(DE){3}K\n DEsc from the fourth character\nrandom line\n#MOTIF\nPA " + std::string(247, 'K') +
      "\nDE " + std::string(150, 'd') + "\n"), e));
  ASSERT_EQ(e.size(), 4u);
  EXPECT_EQ(e[0].description + "|" + e[0].pattern, "1. KDEL retention|KDEL");
  EXPECT_EQ(e[1].description + "|" + e[1].pattern, "2.  no pattern here|");  // two blanks after the tag keep one
  EXPECT_EQ(e[2].description + "|" + e[2].pattern, "3. sc from the fourth character|A(DE){3}K");
  EXPECT_TRUE(e[3].pattern == std::string(99, 'K') && e[3].description.size() == 99);  // a 250-character line: 199 read, 99 kept
  EXPECT_TRUE(!ReadMotifs(dir / "missing.mot", e) && e.empty());
  // {selected, chosen, description, pattern, patterns searched with the fields as the dialog leaves them}
  const std::vector<std::tuple<std::vector<std::size_t>, bool, const char*, const char*, std::vector<std::string>>> cases = {
      {{0}, true, "1. one", "KDEL", {"KDEL"}},
      {{2}, true, "3. three", "a(de)", {"A(DE)"}},                    // the field's text in upper case
      {{0, 1, 2}, true, "All patterns", "", {"KDEL", "", "a(de)"}},   // file patterns keep their case
      {{2, 0}, true, "Some patterns", "", {"KDEL", "a(de)"}},         // in file order
      {{}, false, "", "", {""}}, {{7}, false, "", "", {""}},
  };
  for (const auto& [selected, chosen, description, pattern, searched] : cases) {
    PatternFileState s;
    s.entries = {{"KDEL", "1. one"}, {"", "2. two"}, {"a(de)", "3. three"}};
    EXPECT_EQ(ChooseEntries(s, selected), chosen);
    EXPECT_EQ(s.description + "|" + s.pattern, std::string(description) + "|" + pattern);
    EXPECT_EQ(PatternsToSearch(s.description, s.pattern, s), searched) << description;
    // A typed pattern empties the description: the typed text alone is searched, cut at 99.
    EXPECT_EQ(PatternsToSearch("", "kk{2}v", s)[0] + PatternsToSearch("", std::string(150, 'k'), s)[0], "KK{2}V" + std::string(99, 'K'));
  }
}

TEST(MotifFile, ChoosingTheFile) {
  RecordingPlatform platform;
  SetCurrentPlatform(&platform);
  PatternsTempDir dir;
  PatternFileState s;
  s.path = dir / "old.mot";
  platform.QueueFileAnswer({FileDialogResult::Status::Chosen, dir.Write("good.mot", "#MOTIF\nPA KK\n"), "good.mot"});
  EXPECT_TRUE(ChooseFileName2(nullptr, s) == 1 && s.entries.size() == 1 && s.title == "good.mot");
  const auto request = platform.FileRequests().at(0);
  ASSERT_TRUE(request.initialFolder == dir.Path() && request.filters.size() == 2);
  EXPECT_EQ(request.filters[0].text + " " + request.filters[1].patterns, "motif(*.mot) *.*");
  EXPECT_TRUE(ChooseFileName2(nullptr, s) == 2 && s.entries.size() == 1 && platform.Messages().empty());  // cancelled: nothing changes
  platform.QueueFileAnswer({FileDialogResult::Status::Chosen, dir / "gone.mot", "gone.mot"});
  EXPECT_TRUE(ChooseFileName2(nullptr, s) == 0 && s.entries.empty());
  ASSERT_EQ(platform.Messages().size(), 1u);
  EXPECT_EQ(platform.Messages()[0].text + "|" + platform.Messages()[0].caption, "Problem with the file of patterns !|Find patterns");
  SetCurrentPlatform(nullptr);
}

}  // namespace
