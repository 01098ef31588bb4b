#include "vistram/patterns/matcher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <random>

#include "patterns_test_support.h"
#include "vistram/platform/recording_platform.h"

namespace {

// A table with a repeated character, a digit, '{', X and a "{" expansion (data/patterns/CLASSES.TBL).
ResidueClassTable Classes() {
  ResidueClassTable t;
  EXPECT_TRUE(CreeTableDNA(PatternsData(""), "CLASSES", t));
  return t;
}

// The matcher's rules: one search per line of data/patterns/matcher_rules.tsv.
TEST(Matcher, RulesOfTheTable) {
  const ResidueClassTable none, table = Classes();
  std::ifstream in(PatternsData("matcher_rules.tsv"));
  int rules = 0;
  for (std::string line; std::getline(in, line); ++rules) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f;
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
    f.resize(5);
    const SearchOutcome out = SearchPattern(f[1], f[0] == "-" ? &none : &table, f[2]);
    EXPECT_EQ(out.code, f[3] == "found" ? kSearchFound : kSearchNotFound) << line;
    EXPECT_EQ(MatchesText(out.matches), f[4]) << line;
  }
  EXPECT_GT(rules, 40);
  EXPECT_EQ(RemplaceMultiLettre("AB(BZ){9}", table) + " " + RemplaceMultiLettre("(AB{2}B", table), "A(DN)(DNEQ){9} (ADN{2}(DN)");
  EXPECT_EQ(SearchPattern("K", &table, "").code, kSearchNotFound);
}

TEST(Matcher, ShippedTablesLeaveResidueLettersAlone) {
  for (const auto& [name, residues] : {std::pair{"PROTEINE", "ACDEFGHIKLMNPQRSTVWY"}, {"ADN", "ACGT"}, {"SPECIAL", "ACDEFGHIKLMNPQRSTVWY"}}) {
    ResidueClassTable t;
    ASSERT_TRUE(CreeTableDNA(ShippedDataDir(), name, t)) << name;
    EXPECT_FALSE(t.expansion['B'].empty()) << name;
    for (const char* c = residues; *c; ++c) EXPECT_TRUE(t.expansion[static_cast<unsigned char>(*c)].empty()) << name << " " << *c;
  }
}

TEST(Matcher, LeftmostMatchAgreesWithTryingEveryStart) {
  std::mt19937 rng(7);
  const std::string residues = "ACDKX.-";
  const std::vector<std::string> elements = {"A", "C", "D", "K", "X", "(AC)", "(DK)", "()", "(XA)"};
  for (int trial = 0; trial < 3000; ++trial) {
    std::string text, row;  // the longest parts take the other scan
    const std::size_t m = trial % 10 == 0 ? 64 + rng() % 17 : 1 + rng() % 6;
    for (std::size_t k = 0; k < m; ++k) text += m > 8 ? std::string(rng() % 4 == 0 ? "(AC)" : "X") : elements[rng() % elements.size()];
    const std::size_t n = rng() % 120;
    for (std::size_t i = 0; i < n; ++i) row += residues[rng() % residues.size()];
    const CompiledPart part = CompilePart(text);
    const std::size_t from = n == 0 ? 0 : rng() % n;
    std::string expected;
    for (std::size_t p = from; expected.empty() && p + part.elements.size() <= n; ++p) {
      std::size_t k = 0;
      while (k < part.elements.size() && CompareMask(row[p + k], part.elements[k])) ++k;
      if (k == part.elements.size()) expected = std::to_string(p) + "-" + std::to_string(p + k - 1);
    }
    PatternHit hit;
    ASSERT_EQ(RechercheMaskSimple(part, row, from, hit) ? MatchesText({{hit}}) : "", expected) << text << " on " << row << " from " << from;
  }
}

TEST(Matcher, PartsExpansionCutAndBoundedCombination) {
  EXPECT_EQ(SsmaskText(DecorticMotif(AcheveMasque("AB{3}C(DE){12}F", 40))), "1 40 AB\n2 3 C(DE)\n3 12 F\n");
  EXPECT_EQ(SsmaskText(DecorticMotif("{5}AB{3C")), "1 5 AB\n");  // an unterminated mark takes the rest
  EXPECT_TRUE(DecorticMotif("{0}AB").empty());
  // 200 B's expand to 800 characters; the completed pattern keeps 499, its closing "{0}" included.
  PreparedPattern p(std::string(200, 'B'), Classes());
  ASSERT_TRUE(p.Parts(1000).size() == 1 && p.Parts(1000)[0].text.size() == 499u - 6u - 3u);
  EXPECT_EQ(p.Elements(1000)[0].elements.size(), (499u - 6u - 3u) / 4u + 1u);  // the last group is cut open
  EXPECT_EQ(SearchRow(p, std::string(1000, 'D')).code, kSearchFound);
  // Hundreds of millions of chains: the first ones are kept and the search says it was cut.
  const ResidueClassTable none;
  const SearchOutcome out = SearchPattern("A{100}A{100}A{100}A", &none, std::string(750, 'A'));
  EXPECT_TRUE(out.code == kSearchFound && out.cut && out.matches.size() == kMaxMatchesPerSearch);
  EXPECT_EQ(MatchesText({out.matches[0]}), "0-0 1-1 2-2 3-3");
}

TEST(LanceRecherche, ResultsFileMessagesAndLinks) {
  RecordingPlatform platform;
  PatternsTempDir program, work;
  program.Write("PROTEINE.TBL", "B (DN)\n");
  platform.SetProgramPath(program / "vistram");
  SetCurrentPlatform(&platform);
  const std::string results = ResultsFilePath(work.Path());
  auto run = [&](const char* row, const char* pattern, const std::string& folder, const char* table = "PROTEINE") {
    return LanceRecherche(nullptr, folder, "row", row, table, pattern);
  };
  // The file is written only when every part hits, for its owner only; parts that never chain leave it empty.
  EXPECT_TRUE(run("QKBQDQ", "K(B){3}D", work.Path()) == kSearchNotFound && !std::filesystem::exists(results));
  EXPECT_EQ(run("QKNQDQ", "KB{3}D", work.Path()), kSearchFound);
  EXPECT_EQ(test_support::ReadWholeFile(results), "1 2\n4 4\n-\n");
  std::vector<PatternMatch> read;
  struct stat st {};
  ASSERT_TRUE(ReadResultsFile(results, read) && stat(results.c_str(), &st) == 0);
  EXPECT_TRUE(MatchesText(read) == "1-2 4-4" && (st.st_mode & 0777) == 0600u);
  EXPECT_TRUE(run("KNQQQD", "KB{3}D", work.Path()) == kSearchFound && test_support::ReadWholeFile(results).empty());
  EXPECT_TRUE(platform.Messages().empty());
  for (const auto& [table, folder, pattern, message] :
       {std::tuple{"PROTEINE", work.Path(), "", kMsgInvalidPattern}, {"NOSUCH", work.Path(), "K", kMsgNoTable},
        {"PROTEINE", work / "missing", "K", kMsgCannotCreateResults}}) {
    platform.Clear();
    EXPECT_EQ(run("MKV", pattern, folder, table), kSearchError) << message;
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].text + "|" + platform.Messages()[0].caption, std::string(message) + "|Find patterns");
    EXPECT_EQ(platform.Messages()[0].icon, MsgIcon::Information);
  }
  // The results file never follows a link.
  std::filesystem::remove(results);
  std::filesystem::create_symlink(program.Write("victim", "keep"), results);
  EXPECT_TRUE(run("MKV", "K", work.Path()) == kSearchError && test_support::ReadWholeFile(program / "victim") == "keep");
  SetCurrentPlatform(nullptr);
}

}  // namespace
