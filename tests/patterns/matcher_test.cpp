#include "vistram/patterns/matcher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
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

// {pattern, row, found, complete matches as MatchesText}
void RunCases(const std::vector<std::tuple<const char*, const char*, bool, const char*>>& cases, const ResidueClassTable& table) {
  for (const auto& [pattern, row, found, matches] : cases) {
    const SearchOutcome out = SearchPattern(pattern, &table, row);
    EXPECT_EQ(out.code, found ? kSearchFound : kSearchNotFound) << pattern << " on " << row;
    EXPECT_EQ(MatchesText(out.matches), matches) << pattern << " on " << row;
  }
}

TEST(Matcher, ScanElementsGapsAndParts) {
  RunCases({
      // Hits never overlap; the scan stops after a hit on the second-to-last residue.
      {"KK", "MKKLV", true, "1-2"}, {"K", "KKKK", true, "0-0,1-1,2-2"}, {"KK", "KKKKK", true, "0-1,2-3"},
      {"K", "MMKK", true, "2-2"}, {"M", "M", true, "0-0"}, {"KLV", "MKKLV", true, "2-4"},
      // After a failure the next try starts one position after the failed start.
      {"AAB", "AAAB", true, "1-3"}, {"ABAC", "ABABAC", true, "2-5"},
      {"LVW", "MKKLV", false, ""}, {"MKKLVA", "MKKLV", false, ""},
      {"A(DE)X", "ADQ", true, "0-2"}, {"A(DE)X", "AEX", true, "0-2"}, {"A(DE)X", "A-Q", false, ""},
      {"A(DE)X", "AE.", false, ""}, {"A(DE)X", "AQD", false, ""}, {"W(DE)K", "XXX", true, "0-2"},
      {"ABC", "AB-C", false, ""}, {"A(X)C", "AQC", true, "0-2"}, {"A()C", "AQC", false, ""}, {"A()C", "AXC", true, "0-2"},
      {"A(QW", "AW", true, "0-1"},  // an open group runs to the end of the part
      {"k", "MKKLV", false, ""},    // exact comparison of the case
      {"AB CD", "QABQ", true, "1-2"}, {"AB CD", "QQQCD", false, ""},  // read up to the first blank
      {"AB{3}C", "ABQC", true, "0-1 3-3"}, {"AB{3}C", "ABQQQC", true, ""}, {"AB{1}C", "ABC", true, "0-1 2-2"},
      {"AB{1}C", "ABQC", true, ""}, {"AB{0}ZZZ", "QAB", true, "1-2"}, {"AB{Q}ZZZ", "QAB", true, "1-2"},
      {"AB{3}W", "ABQQQ", false, ""},  // a part without any hit
      // Depth-first: every hit of part 1, each with every reachable hit of part 2.
      {"A{4}C", "ACACQQ", true, "0-0 1-1,0-0 3-3,2-2 3-3"}, {"A{2}C{2}D", "ACDQACQD", true, "0-0 1-1 2-2,4-4 5-5 7-7"},
      {"A{9}C{1}D", "AQCDACD", true, "0-0 2-2 3-3,0-0 5-5 6-6,4-4 5-5 6-6"},
      {"KL{5}", "MKKLV", false, ""}, {"{3}KL", "MKKLV", false, ""},  // an empty part finds nothing
  }, ResidueClassTable());
  const ResidueClassTable table = Classes();
  RunCases({
      {"B", "MDN", true, "1-1"}, {"AB", "AN", true, "0-1"},
      {"AB", "AQ", false, ""},                     // the first line of a character wins
      {"(BZ)K", "EKNK", true, "0-1,2-3"},          // inside a group the classes merge
      {"A{9}C", "AQQQQQQQQC", true, "0-0 9-9"},    // digits are never replaced
      {"XQ", "AQ", true, "0-1"},                   // X and a "{" expansion are refused
  }, table);
  EXPECT_EQ(RemplaceMultiLettre("AB(BZ){9}", table), "A(DN)(DNEQ){9}");
  EXPECT_EQ(RemplaceMultiLettre("(AB{2}B", table), "(ADN{2}(DN)");
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
    const bool found = RechercheMaskSimple(part, row, from, hit);
    ASSERT_EQ(found ? MatchesText({{hit}}) : "", expected) << text << " on " << row << " from " << from;
  }
}

TEST(Matcher, PartsExpansionCutAndBoundedCombination) {
  EXPECT_EQ(SsmaskText(DecorticMotif(AcheveMasque("AB{3}C(DE){12}F", 40))), "1 40 AB\n2 3 C(DE)\n3 12 F\n");
  EXPECT_EQ(SsmaskText(DecorticMotif("{5}AB{3C")), "1 5 AB\n");  // an unterminated mark takes the rest
  EXPECT_EQ(DecorticMotif("{0}AB").size(), 0u);
  // 200 B's expand to 800 characters; the completed pattern keeps 499, its closing "{0}" included.
  PreparedPattern p(std::string(200, 'B'), Classes());
  ASSERT_EQ(p.Parts(1000).size(), 1u);
  EXPECT_EQ(p.Parts(1000)[0].text.size(), 499u - 6u - 3u);
  EXPECT_EQ(p.Elements(1000)[0].elements.size(), (499u - 6u - 3u) / 4u + 1u);  // the last group is cut open
  EXPECT_EQ(SearchRow(p, std::string(1000, 'D')).code, kSearchFound);
  // Hundreds of millions of chains: the first ones are kept and the search says it was cut.
  const ResidueClassTable none;
  const SearchOutcome out = SearchPattern("A{100}A{100}A{100}A", &none, std::string(750, 'A'));
  EXPECT_TRUE(out.code == kSearchFound && out.cut);
  EXPECT_EQ(out.matches.size(), kMaxMatchesPerSearch);
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
  EXPECT_EQ(run("QKBQDQ", "K(B){3}D", work.Path()), kSearchNotFound);
  EXPECT_FALSE(std::filesystem::exists(results));
  EXPECT_EQ(run("QKNQDQ", "KB{3}D", work.Path()), kSearchFound);
  EXPECT_EQ(test_support::ReadWholeFile(results), "1 2\n4 4\n-\n");
  std::vector<PatternMatch> read;
  struct stat st {};
  ASSERT_TRUE(ReadResultsFile(results, read) && stat(results.c_str(), &st) == 0);
  EXPECT_EQ(MatchesText(read), "1-2 4-4");
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(run("KNQQQD", "KB{3}D", work.Path()), kSearchFound);
  EXPECT_EQ(test_support::ReadWholeFile(results), "");
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
  EXPECT_EQ(run("MKV", "K", work.Path()), kSearchError);
  EXPECT_EQ(test_support::ReadWholeFile(program / "victim"), "keep");
  SetCurrentPlatform(nullptr);
}

}  // namespace
