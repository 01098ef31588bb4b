#include "vistram/patterns/matcher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>

#include "patterns_test_support.h"
#include "vistram/platform/recording_platform.h"

namespace {

ResidueClassTable TableOf(const std::string& lines) {
  PatternsTempDir dir;
  dir.Write("T.TBL", lines);
  ResidueClassTable t;
  EXPECT_TRUE(CreeTableDNA(dir.Path(), "T", t));
  return t;
}

struct SearchCase {
  const char* pattern;
  const char* row;
  int code;
  const char* matches;  // MatchesText of the complete matches
};

void RunCases(const std::vector<SearchCase>& cases, const ResidueClassTable& table) {
  for (const SearchCase& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + " on " + c.row);
    const SearchOutcome out = SearchPattern(c.pattern, &table, c.row);
    EXPECT_EQ(out.code, c.code);
    EXPECT_EQ(MatchesText(out.matches), c.matches);
  }
}

TEST(Matcher, ScanElementsGapsAndParts) {
  RunCases(
      {
          {"KK", "MKKLV", kSearchFound, "1-2"},
          // Hits never overlap, and the scan stops after a hit on the second-to-last residue.
          {"K", "KKKK", kSearchFound, "0-0,1-1,2-2"},
          {"KK", "KKKKK", kSearchFound, "0-1,2-3"},
          {"K", "MMKK", kSearchFound, "2-2"},
          // After a failure the next try starts one position after the failed start.
          {"AAB", "AAAB", kSearchFound, "1-3"},
          {"ABAC", "ABABAC", kSearchFound, "2-5"},
          {"LVW", "MKKLV", kSearchNotFound, ""},
          {"M", "M", kSearchFound, "0-0"},
          {"MKKLVA", "MKKLV", kSearchNotFound, ""},
          {"KLV", "MKKLV", kSearchFound, "2-4"},
          {"A(DE)X", "ADQ", kSearchFound, "0-2"},
          {"A(DE)X", "AEX", kSearchFound, "0-2"},
          {"A(DE)X", "A-Q", kSearchNotFound, ""},
          {"A(DE)X", "AE.", kSearchNotFound, ""},
          {"A(DE)X", "AQD", kSearchNotFound, ""},
          {"W(DE)K", "XXX", kSearchFound, "0-2"},
          {"ABC", "AB-C", kSearchNotFound, ""},
          {"A(X)C", "AQC", kSearchFound, "0-2"},
          {"A()C", "AQC", kSearchNotFound, ""},
          {"A()C", "AXC", kSearchFound, "0-2"},
          // A group without its closing parenthesis runs to the end of the part.
          {"A(QW", "AW", kSearchFound, "0-1"},
          // Exact comparison: a lower-case pattern letter never meets an upper-case residue.
          {"k", "MKKLV", kSearchNotFound, ""},
          // The part is read up to its first blank.
          {"AB CD", "QABQ", kSearchFound, "1-2"},
          {"AB CD", "QQQCD", kSearchNotFound, ""},
          {"AB{3}C", "ABQC", kSearchFound, "0-1 3-3"},
          {"AB{3}C", "ABQQQC", kSearchFound, ""},
          {"AB{1}C", "ABC", kSearchFound, "0-1 2-2"},
          {"AB{1}C", "ABQC", kSearchFound, ""},
          // Text after "{0}" is ignored, and so is a mark that is not a number.
          {"AB{0}ZZZ", "QAB", kSearchFound, "1-2"},
          {"AB{Q}ZZZ", "QAB", kSearchFound, "1-2"},
          // The second part has no hit anywhere: not found.
          {"AB{3}W", "ABQQQ", kSearchNotFound, ""},
          // Depth-first: every hit of part 1, each with every reachable hit of part 2.
          {"A{4}C", "ACACQQ", kSearchFound, "0-0 1-1,0-0 3-3,2-2 3-3"},
          {"A{2}C{2}D", "ACDQACQD", kSearchFound, "0-0 1-1 2-2,4-4 5-5 7-7"},
          {"A{9}C{1}D", "AQCDACD", kSearchFound, "0-0 2-2 3-3,0-0 5-5 6-6,4-4 5-5 6-6"},
          // An empty part finds nothing, also the one after a final mark.
          {"KL{5}", "MKKLV", kSearchNotFound, ""},
          {"{3}KL", "MKKLV", kSearchNotFound, ""},
      },
      ResidueClassTable());
}

TEST(Matcher, ClassesFromTheTable) {
  const ResidueClassTable table = TableOf("B (DN)\nB (QQ)\nZ (EQ)\n9 (AA)\n{ (AA)\nX (AA)\nQ {3}\n");
  RunCases(
      {
          {"B", "MDN", kSearchFound, "1-1"},  // hits D then N; N is the last residue and never looked for
          {"AB", "AN", kSearchFound, "0-1"},
          {"AB", "AQ", kSearchNotFound, ""},  // the first line of a character wins
          {"(BZ)K", "EKNK", kSearchFound, "0-1,2-3"},  // inside a group the classes merge
          {"A{9}C", "AQQQQQQQQC", kSearchFound, "0-0 9-9"},  // digits are never replaced
          {"XQ", "AQ", kSearchFound, "0-1"},  // X and a "{" expansion are refused
      },
      table);
  EXPECT_EQ(RemplaceMultiLettre("AB(BZ){9}", table), "A(DN)(DNEQ){9}");
  EXPECT_EQ(RemplaceMultiLettre("(AB{2}B", table), "(ADN{2}(DN)");
  EXPECT_EQ(SearchPattern("K", &table, "").code, kSearchNotFound);
}

TEST(Matcher, ShippedTables) {
  // No table gives a class to a residue letter of its kind: it would change every pattern using it.
  const std::vector<std::pair<const char*, std::string>> tables = {
      {"PROTEINE", "ACDEFGHIKLMNPQRSTVWY"}, {"ADN", "ACGT"}, {"SPECIAL", "ACDEFGHIKLMNPQRSTVWY"}};
  for (const auto& [name, residues] : tables) {
    ResidueClassTable t;
    ASSERT_TRUE(CreeTableDNA(ShippedDataDir(), name, t)) << name;
    EXPECT_FALSE(t.expansion['B'].empty()) << name;  // an ambiguity code in every table
    for (char c : residues) EXPECT_TRUE(t.expansion[static_cast<unsigned char>(c)].empty()) << name << " " << c;
  }
}

// The leftmost match, found the plain way: every start tried in turn.
bool BruteLeftmost(const std::vector<MaskElement>& e, const std::string& s, std::size_t from, PatternHit& hit) {
  for (std::size_t p = from; p + e.size() <= s.size(); ++p) {
    std::size_t k = 0;
    while (k < e.size() && CompareMask(s[p + k], e[k])) ++k;
    if (k == e.size()) {
      hit = {static_cast<unsigned>(p), static_cast<unsigned>(p + k - 1)};
      return true;
    }
  }
  return false;
}

TEST(Matcher, LeftmostMatchAgreesWithTryingEveryStart) {
  // Random parts of 1 to 80 elements (the longest ones take the other scan)
  // over random rows with gaps and X's.
  std::mt19937 rng(7);
  const std::string residues = "ACDKX.-";
  const std::vector<std::string> elements = {"A", "C", "D", "K", "X", "(AC)", "(DK)", "()", "(XA)"};
  for (int trial = 0; trial < 3000; ++trial) {
    std::string text;
    const std::size_t m = trial % 10 == 0 ? 64 + rng() % 17 : 1 + rng() % 6;
    for (std::size_t k = 0; k < m; ++k) text += m > 8 ? std::string(rng() % 4 == 0 ? "(AC)" : "X") : elements[rng() % elements.size()];
    std::string row;
    const std::size_t n = rng() % 120;
    for (std::size_t i = 0; i < n; ++i) row += residues[rng() % residues.size()];
    const CompiledPart part = CompilePart(text);
    const std::size_t from = n == 0 ? 0 : rng() % n;
    PatternHit a, b;
    const bool fa = RechercheMaskSimple(part, row, from, a);
    const bool fb = BruteLeftmost(part.elements, row, from, b);
    ASSERT_EQ(fa, fb) << text << " on " << row << " from " << from;
    if (fa) ASSERT_EQ(MatchesText({{a}}), MatchesText({{b}})) << text << " on " << row;
  }
}

TEST(Matcher, ParsingIntoParts) {
  const auto parts = DecorticMotif(AcheveMasque("AB{3}C(DE){12}F", 40));
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(SsmaskText(parts), "1 40 AB\n2 3 C(DE)\n3 12 F\n");
  // An unterminated mark takes the rest of the pattern.
  EXPECT_EQ(SsmaskText(DecorticMotif("{5}AB{3C")), "1 5 AB\n");
  EXPECT_EQ(DecorticMotif("{0}AB").size(), 0u);
}

TEST(Matcher, LongPatternsAreCutAfterExpansion) {
  // 200 B's expand to 800 characters; the completed pattern keeps 499
  // characters, its closing "{0}" included.
  const ResidueClassTable table = TableOf("B (DN)\n");
  PreparedPattern p(std::string(200, 'B'), table);
  const auto& parts = p.Parts(1000);
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_EQ(parts[0].text.size(), 499u - 6u - 3u);
  EXPECT_EQ(p.Elements(1000)[0].elements.size(), (499u - 6u - 3u) / 4u + 1u);  // the last group is cut open
  EXPECT_EQ(SearchRow(p, std::string(1000, 'D')).code, kSearchFound);
}

const ResidueClassTable kNoTable;

TEST(Matcher, CombinationIsBounded) {
  // Four parts that each hit almost everywhere within wide gaps: hundreds of
  // millions of chains; the search keeps the first ones and says it was cut.
  const std::string row(750, 'A');
  const SearchOutcome out = SearchPattern("A{100}A{100}A{100}A", &kNoTable, row);
  EXPECT_EQ(out.code, kSearchFound);
  EXPECT_TRUE(out.cut);
  EXPECT_EQ(out.matches.size(), kMaxMatchesPerSearch);
  EXPECT_EQ(MatchesText({out.matches[0]}), "0-0 1-1 2-2 3-3");
}

class LanceRechercheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_.Write("PROTEINE.TBL", "B (DN)\n");
    platform_.SetProgramPath(program_.Path() + "/vistram");
    SetCurrentPlatform(&platform_);
  }
  void TearDown() override { SetCurrentPlatform(nullptr); }
  std::string Results() const {
    std::vector<PatternMatch> m;
    return ReadResultsFile(ResultsFilePath(work_.Path()), m) ? MatchesText(m) : "(no file)";
  }
  RecordingPlatform platform_;
  PatternsTempDir program_;
  PatternsTempDir work_;
};

TEST_F(LanceRechercheTest, WritesResultsFileOnlyWhenEveryPartHits) {
  EXPECT_EQ(LanceRecherche(nullptr, work_.Path(), "row", "QKBQDQ", "PROTEINE", "K(B){3}D"), kSearchNotFound);
  EXPECT_EQ(Results(), "(no file)");
  EXPECT_EQ(LanceRecherche(nullptr, work_.Path(), "row", "QKNQDQ", "PROTEINE", "KB{3}D"), kSearchFound);
  EXPECT_EQ(Results(), "1-2 4-4");
  std::ifstream in(ResultsFilePath(work_.Path()));
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "1 2\n4 4\n-\n");
  struct stat st {};
  ASSERT_EQ(stat(ResultsFilePath(work_.Path()).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // Found parts that never chain: the file is there, empty.
  EXPECT_EQ(LanceRecherche(nullptr, work_.Path(), "row", "KNQQQD", "PROTEINE", "KB{3}D"), kSearchFound);
  EXPECT_EQ(Results(), "");
  EXPECT_TRUE(platform_.Messages().empty());
}

TEST_F(LanceRechercheTest, FailuresShowTheirMessage) {
  struct Case {
    std::string table;
    std::string work;
    std::string pattern;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"PROTEINE", work_.Path(), "", kMsgInvalidPattern},
      {"NOSUCH", work_.Path(), "K", kMsgNoTable},
      {"PROTEINE", work_.Path() + "/missing-folder", "K", kMsgCannotCreateResults},
  };
  for (const Case& c : cases) {
    platform_.Clear();
    EXPECT_EQ(LanceRecherche(nullptr, c.work, "row", "MKV", c.table, c.pattern), kSearchError) << c.message;
    const auto messages = platform_.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, c.message);
    EXPECT_EQ(messages[0].caption, "Find patterns");
    EXPECT_EQ(messages[0].icon, MsgIcon::Information);
  }
}

TEST_F(LanceRechercheTest, ResultsFileNeverFollowsALink) {
  const std::string victim = program_.Write("victim", "keep");
  std::filesystem::create_symlink(victim, ResultsFilePath(work_.Path()));
  EXPECT_EQ(LanceRecherche(nullptr, work_.Path(), "row", "MKV", "PROTEINE", "K"), kSearchError);
  std::ifstream in(victim);
  std::string text;
  in >> text;
  EXPECT_EQ(text, "keep");
}

}  // namespace
