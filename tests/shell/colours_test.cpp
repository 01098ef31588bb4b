#include "vistram/results/alignment_colours.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "view_fixture.h"

namespace fs = std::filesystem;

namespace {

class ColoursTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cfg_ = folder_ / "vistram.cfg";
    std::ofstream(cfg_) << "[Couleurs_HCA]\nV=9\nP=1\nD=2\n[Couleur_Fond_HCA]\nV=5\nP=2\n"
                           "[Couleurs_SimIden]\nIDENT=8\nSIMIL=13\nAUTRE=15\n"
                           "[Couleur_Fond_SimIden]\nL=14\nV=7\n";
  }
  test_support::TempFolder folder_;
  std::string cfg_;
};

TEST_F(ColoursTest, HcaCodeColoursResiduesByLetterAndIdentitiesWhiteOnBlack) {
  auto v = MakeView("VPd-X", "V + X", "VPdAv", 1, 1);
  AssignColorForAA(cfg_, kColourHca, true, *v);
  // Query V: configured; P: white on red; lower-case d as D; '-' black on white.
  EXPECT_EQ(v->queryTextColours, (std::vector<int>{9, 1, 2, 0, 0}));
  EXPECT_EQ(v->queryBackColours, (std::vector<int>{5, 2, 1, 1, 1}));
  EXPECT_EQ(v->subjectTextColours, (std::vector<int>{9, 1, 2, 0, 9}));
  EXPECT_EQ(v->subjectBackColours, (std::vector<int>{5, 2, 1, 1, 5}));
  // Match line: letters are identities.
  EXPECT_EQ(v->middleTextColours, (std::vector<int>{1, 0, 0, 0, 1}));
  EXPECT_EQ(v->middleBackColours, (std::vector<int>{0, 1, 1, 1, 0}));

  AssignColorForAA(cfg_, kColourHca, false, *v);
  EXPECT_EQ(v->queryBackColours, (std::vector<int>{1, 1, 1, 1, 1}));
  EXPECT_EQ(v->queryTextColours[0], 9);
  // P's white letter would vanish on the white background: black instead.
  EXPECT_EQ(v->queryTextColours[1], 0);
}

TEST_F(ColoursTest, IdentityCodeColoursBothResiduesByTheMatchCharacter) {
  auto v = MakeView("LVKA", "L+ x", "LIRA", 1, 1);
  AssignColorForAA(cfg_, kColourIdentity, true, *v);
  EXPECT_EQ(v->queryTextColours, (std::vector<int>{8, 13, 15, 8}));
  EXPECT_EQ(v->subjectTextColours, v->queryTextColours);
  EXPECT_EQ(v->queryBackColours, (std::vector<int>{14, 7, 1, 1}));
  EXPECT_EQ(v->subjectBackColours, (std::vector<int>{14, 1, 1, 1}));
  EXPECT_EQ(v->middleTextColours, (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(v->middleBackColours, (std::vector<int>{1, 1, 1, 1}));
  AssignColorForAA(cfg_, kColourIdentity, false, *v);
  EXPECT_EQ(v->queryBackColours, (std::vector<int>{1, 1, 1, 1}));
}

TEST_F(ColoursTest, BlackAndWhiteIgnoresTheFile) {
  auto v = MakeView("VP-", "V +", "VPA", 1, 1);
  AssignColorForAA(cfg_, kColourBlackWhite, true, *v);
  EXPECT_EQ(v->queryTextColours, (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(v->queryBackColours, (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(v->middleTextColours, (std::vector<int>{1, 0, 0}));
  EXPECT_EQ(v->middleBackColours, (std::vector<int>{0, 1, 1}));
}

TEST_F(ColoursTest, MissingFileGivesTheDefaults) {
  const std::string none = cfg_ + ".missing";
  ColourConfiguration c = ReadColourConfiguration(kColourIdentity, none);
  EXPECT_EQ(c.ident, 2);
  EXPECT_EQ(c.simil, 4);
  EXPECT_EQ(c.autre, 0);
  EXPECT_EQ(c.back[0], 1);
  c = ReadColourConfiguration(kColourHca, none);
  EXPECT_EQ(c.text[21], 0);
  EXPECT_EQ(c.back[21], 1);
}

TEST_F(ColoursTest, ShippedHcaCodeTellsResidueClassesApart) {
  const std::string shipped = ShippedConfigPath();
  ASSERT_TRUE(fs::exists(shipped));
  ColourConfiguration c = ReadColourConfiguration(kColourHca, shipped);
  auto look = [&](char r) { return std::pair<int, int>(c.text[static_cast<std::size_t>(r - 'A')], c.back[static_cast<std::size_t>(r - 'A')]); };
  // Each class shares one look, and the classes differ.
  for (char r : std::string("ILMFWY")) EXPECT_EQ(look(r), look('V')) << r;
  EXPECT_EQ(look('E'), look('D'));
  EXPECT_EQ(look('R'), look('K'));
  EXPECT_EQ(look('T'), look('S'));
  const std::vector<std::pair<int, int>> classes = {look('V'), look('D'), look('K'), look('P'), look('G'), look('S'), look('A')};
  for (std::size_t i = 0; i < classes.size(); ++i) {
    for (std::size_t j = i + 1; j < classes.size(); ++j) EXPECT_NE(classes[i], classes[j]) << i << " " << j;
  }
  for (int i = 0; i < 26; ++i) {
    EXPECT_GE(c.text[static_cast<std::size_t>(i)], 0);
    EXPECT_LE(c.text[static_cast<std::size_t>(i)], 15);
    EXPECT_NE(c.text[static_cast<std::size_t>(i)], c.back[static_cast<std::size_t>(i)]);  // never invisible
  }
}

TEST_F(ColoursTest, HcaColoursOfOneSequence) {
  std::vector<int> text, back;
  AssignHcaColours(cfg_, "VP.v*", text, back);
  EXPECT_EQ(text, (std::vector<int>{9, 1, 0, 9, 0}));
  EXPECT_EQ(back, (std::vector<int>{5, 2, 1, 5, 1}));
}

}  // namespace
