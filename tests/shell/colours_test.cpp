#include "vistram/results/alignment_colours.h"

#include <gtest/gtest.h>

#include "view_fixture.h"

namespace {

using V = std::vector<int>;

const std::string kConfig = VISTRAM_TEST_DATA_DIR "/../shell/data/colours.cfg";

// Expected colours of the query, subject and match lines (empty: not checked).
TEST(Colours, EachCodeColoursTheThreeLines) {
  const struct {
    const char* name;
    int code;
    bool background;
    const char *query, *middle, *subject;
    V queryText, queryBack, subjectText, subjectBack, middleText, middleBack;
  } rows[] = {
      // V configured; P white on red; lower-case d as D; '-' black on white;
      // match letters are identities, white on black.
      {"hca", kColourHca, true, "VPd-X", "V + X", "VPdAv", {9, 1, 2, 0, 0}, {5, 2, 1, 1, 1}, {9, 1, 2, 0, 9},
       {5, 2, 1, 1, 5}, {1, 0, 0, 0, 1}, {0, 1, 1, 1, 0}},
      // Without backgrounds P's white letter would vanish: black instead.
      {"hca plain", kColourHca, false, "VPd-X", "V + X", "VPdAv", {9, 0, 2, 0, 0}, {1, 1, 1, 1, 1}, {}, {}, {}, {}},
      // Both residues by the match character: identity, similarity, other.
      {"identity", kColourIdentity, true, "LVKA", "L+ x", "LIRA", {8, 13, 15, 8}, {14, 7, 1, 1}, {8, 13, 15, 8},
       {14, 1, 1, 1}, {0, 0, 0, 0}, {1, 1, 1, 1}},
      {"identity plain", kColourIdentity, false, "LVKA", "L+ x", "LIRA", {}, {1, 1, 1, 1}, {}, {}, {}, {}},
      {"black and white", kColourBlackWhite, true, "VP-", "V +", "VPA", {0, 0, 0}, {1, 1, 1}, {}, {}, {1, 0, 0},
       {0, 1, 1}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    auto v = MakeView(r.query, r.middle, r.subject, 1, 1);
    AssignColorForAA(kConfig, r.code, r.background, *v);
    const std::pair<const V*, const V*> checks[] = {
        {&r.queryText, &v->queryTextColours},     {&r.queryBack, &v->queryBackColours},
        {&r.subjectText, &v->subjectTextColours}, {&r.subjectBack, &v->subjectBackColours},
        {&r.middleText, &v->middleTextColours},   {&r.middleBack, &v->middleBackColours}};
    for (std::size_t i = 0; i < 6; ++i) {
      if (!checks[i].first->empty()) EXPECT_EQ(*checks[i].second, *checks[i].first) << "array " << i;
    }
  }
  V text, back;
  AssignHcaColours(kConfig, "VP.v*", text, back);  // one sequence alone
  EXPECT_EQ(text, (V{9, 1, 0, 9, 0}));
  EXPECT_EQ(back, (V{5, 2, 1, 5, 1}));
}

TEST(Colours, MissingFileGivesTheDefaultsAndTheShippedOneTellsClassesApart) {
  ColourConfiguration c = ReadColourConfiguration(kColourIdentity, kConfig + ".missing");
  const ColourConfiguration h = ReadColourConfiguration(kColourHca, kConfig + ".missing");
  EXPECT_EQ((V{c.ident, c.simil, c.autre, c.back[0], h.text[21], h.back[21]}), (V{2, 4, 0, 1, 0, 1}));

  c = ReadColourConfiguration(kColourHca, ShippedConfigPath());
  auto look = [&](char r) { return std::pair(c.text[static_cast<std::size_t>(r - 'A')], c.back[static_cast<std::size_t>(r - 'A')]); };
  for (const char* cls : {"VILMFWY", "DE", "KR", "ST"}) {
    for (const char* r = cls; *r != '\0'; ++r) EXPECT_EQ(look(*r), look(*cls)) << *r;
  }
  const std::string classes = "VDKPGSA";
  for (std::size_t i = 0; i < classes.size(); ++i) {
    for (std::size_t j = i + 1; j < classes.size(); ++j) EXPECT_NE(look(classes[i]), look(classes[j])) << i << " " << j;
  }
  for (char r = 'A'; r <= 'Z'; ++r)  // never invisible
    EXPECT_TRUE(look(r).first >= 0 && look(r).first <= 15 && look(r).first != look(r).second) << r;
}

}  // namespace
