#include "vistram/patterns/prosite.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "patterns_test_support.h"
#include "vistram/patterns/motif_file.h"
#include "vistram/shell/batch.h"

namespace {

const std::string kOthers = "ACDEFGHIKLMNQRSTVWY";  // every standard residue but P

TEST(Prosite, ConvertsWhatTheLanguageExpresses) {
  struct Case {
    const char* prosite;
    const char* mot;  // empty: refused
    const char* why;
  };
  const std::vector<Case> cases = {
      {"P-R-C-[GN]-x-P-[DR]-[LIVSAPKQ].", "PRC(GN)XP(DR)(LIVSAPKQ)", ""},
      {"N-{P}-[ST]-{P}.", "N(ACDEFGHIKLMNQRSTVWY)(ST)(ACDEFGHIKLMNQRSTVWY)", ""},
      {"C-x(2)-C", "CXXC", ""},
      {"C-x(2,4)-C-x-x(3)-H", "CXX{3}CXXXXH", ""},
      {"C-x(0,3)-H", "C{4}H", ""},
      {"C-x(2,4)-x(1,2)-H", "CXXX{4}H", ""},  // consecutive x's join
      {"x(2,4)-C-H-x(3,5)", "XXCHXXX", ""},  // variable runs at the ends take their shortest form
      {"[RK](2)-x-[ST]", "(RK)(RK)X(ST)", ""},
      {" W - [ivc] .", "W(IVC)", ""},
      {"<M-K-x-L", "", "anchor '<' or '>'"},
      {"[G>]-K", "", "anchor '<' or '>'"},
      {"C-H(2,3)-K", "", "range on an element other than x in 'H(2,3)'"},
      {"C-x(4,2)-K", "", "unreadable range in 'x(4,2)'"},
      {"C-x(two)-K", "", "unreadable repeat in 'x(two)'"},
      {"C--K", "", "empty element"},
      {"C-7-K", "", "unreadable element '7'"},
      {"C-[A1]-K", "", "unreadable element '[A1]'"},
      {"x(3,5)", "XXX", ""},
      {"x(0,5)", "", "pattern of wildcards only"},
      {"{P}-{P}-{P}-{P}-{P}", "", "pattern over 99 characters once converted"},
      {"", "", "empty pattern"},
  };
  for (const Case& c : cases) {
    std::string out, why;
    const bool ok = ConvertPrositePattern(c.prosite, out, why);
    EXPECT_EQ(ok, std::string(c.mot) != "") << c.prosite;
    if (ok) {
      EXPECT_EQ(out, c.mot) << c.prosite;
    } else {
      EXPECT_EQ(why, c.why) << c.prosite;
    }
  }
}

TEST(Prosite, ReadsTheCorpusEntries) {
  std::ifstream in(std::string(VISTRAM_TEST_DATA_DIR) + "/patterns/four_prosite_entries.dat");
  const auto entries = ReadPrositeEntries(in);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].description, "Protein kinases ATP-binding region signature.");
  // Two PA lines joined.
  EXPECT_EQ(entries[0].pattern,
            "[LIV]-G-{P}-G-{P}-[FYWMGSTNH]-[SGA]-{PW}-[LIVCAT]-{PD}-x-[GSTACLIVMFY]-x(5,18)-[LIVMFYWCSTAR]-[AIVP]-"
            "[LIVMFAGCKR]-K.");
  EXPECT_EQ(entries[3].id, "CYSTEINE_SWITCH");
}

int RunBatch(std::vector<std::string> args) {
  args.insert(args.begin(), "vistram");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  int code = -1;
  EXPECT_TRUE(RunBatchIfRequested(static_cast<int>(args.size()), argv.data(), code));
  return code;
}

TEST(Prosite, BatchConversionOfTheCorpus) {
  PatternsTempDir dir;
  const std::string out = dir.Path() + "/out.mot";
  const std::string in = std::string(VISTRAM_TEST_DATA_DIR) + "/patterns/four_prosite_entries.dat";
  testing::internal::CaptureStderr();
  ASSERT_EQ(RunBatch({"--prosite-to-mot", in, "-o", out}), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "PROTEIN_KINASE_ATP (PS00107): pattern over 99 characters once converted\n");
  std::vector<PatternEntry> entries;
  ASSERT_TRUE(ReadMotifs(out, entries));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].description,
            "1. DEHYDRATASE_SER_THR: Serine/threonine dehydratases pyridoxal-phosphate attachment site.");
  EXPECT_EQ(entries[0].pattern, "(DESH)XXXX{2}(STVG)(ACFGHILMNPQRSTWY)(AS)(FYI)K(DLIFSA)(RLVMF)(GA)(LIVMGA)");
  EXPECT_EQ(entries[1].pattern, "W(IVC)(STAK)(RK)X(DE)Y(DNE)(DE)");
  EXPECT_EQ(entries[2].description, "3. CYSTEINE_SWITCH: Matrixins cysteine switch.");

  // Failures exit 1 and write nothing; usage errors exit 2.
  testing::internal::CaptureStderr();
  const std::string kinase = dir.Write("kinase.dat", "ID   K; PATTERN.\nPA   <K-K.\n//\n");
  EXPECT_EQ(RunBatch({"--prosite-to-mot", kinase, "-o", dir.Path() + "/k.mot"}), 1);  // nothing converts
  EXPECT_EQ(RunBatch({"--prosite-to-mot", dir.Path() + "/none.dat", "-o", dir.Path() + "/n.mot"}), 1);
  EXPECT_EQ(RunBatch({"--prosite-to-mot", dir.Write("empty.dat", "ID   X; MATRIX.\n//\n"), "-o", dir.Path() + "/e.mot"}), 1);
  EXPECT_EQ(RunBatch({"--prosite-to-mot", in, "-o", dir.Path() + "/no/such/x.mot"}), 1);
  EXPECT_EQ(RunBatch({"--prosite-to-mot", in}), 2);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("None of the 1 PROSITE patterns"), std::string::npos);
  EXPECT_NE(err.find("No PROSITE pattern (PA line)"), std::string::npos);
  EXPECT_NE(err.find("Unable to write the file"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/k.mot"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/e.mot"));
}

TEST(Prosite, FindPatternsBatchArguments) {
  // Wrong arguments exit 2, unreadable inputs 1, and a real alignment gives one line per match.
  testing::internal::CaptureStderr();
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--find-patterns", "in.msf"},
           {"--find-patterns", "--pattern", "KK"},
           {"--find-patterns", "in.msf", "--pattern", "KK", "--patterns", "x.mot"},
           {"--find-patterns", "in.msf", "--pattern", "KK", "--select", "some"},
           {"--find-patterns", "in.msf", "--pattern"},
           {"--find-patterns", "a.msf", "b.msf", "--pattern", "KK"}}) {
    EXPECT_EQ(RunBatch(args), 2) << args.size();
  }
  PatternsTempDir dir;
  EXPECT_EQ(RunBatch({"--find-patterns", "in.msf", "--patterns", dir.Path() + "/none.mot"}), 1);
  EXPECT_EQ(RunBatch({"--find-patterns", "in.msf", "--pattern", "KK", "--select", "first"}), 1);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("none.mot: Problem with the file of patterns !"), std::string::npos);
  testing::internal::CaptureStdout();
  EXPECT_EQ(RunBatch({"--find-patterns", std::string(VISTRAM_TEST_DATA_DIR) + "/patterns/bioperl_cysprot1b.msf",
                      "--pattern", "QGSCGSCWAF"}),
            0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "PAPA_CARPA\tQGSCGSCWAF\t   1 : -- 157<QGSCGSCWAF>166 --\n");
}

// --- Converted patterns against regular expressions made from the same PROSITE text.

// An ECMAScript expression read straight from the PROSITE syntax.
std::string RegexOf(const std::string& p) {
  const std::map<char, std::string> to = {{'-', ""}, {'.', ""}, {' ', ""}, {'x', "."}, {'{', "[^"},
                                          {'}', "]"},  {'(', "{"}, {')', "}"}};
  std::string r;
  for (char c : p) r += to.count(c) != 0 ? to.at(c) : std::string(1, c);
  return r;
}

std::vector<std::string> Proteins() {
  std::vector<std::string> seqs;
  for (const char* f : {"fasta36_prot_test.lib", "galaxy_blast_rhodopsin_proteins.fasta", "emboss_globins.fasta"}) {
    std::ifstream in(std::string(VISTRAM_TEST_DATA_DIR) + "/patterns/" + f);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line[0] == '>') {
        seqs.emplace_back();
      } else if (!seqs.empty()) {
        for (char c : line) {
          if (std::isalpha(static_cast<unsigned char>(c))) seqs.back() += static_cast<char>(std::toupper(c));
        }
      }
    }
  }
  // Only the standard residues: a residue X matches every element of ours, nothing of a regex.
  std::erase_if(seqs, [](const std::string& s) {
    return s.empty() || s.find_first_not_of("ACDEFGHIKLMNPQRSTVWY") != std::string::npos;
  });
  return seqs;
}

TEST(Prosite, ConvertedPatternsFindWhatRegularExpressionsFind) {
  const std::vector<std::string> seqs = Proteins();
  ASSERT_GE(seqs.size(), 15u);
  ResidueClassTable table;
  ASSERT_TRUE(CreeTableDNA(ShippedDataDir(), "PROTEINE", table));
  std::ifstream corpus(std::string(VISTRAM_TEST_DATA_DIR) + "/patterns/four_prosite_entries.dat");
  std::vector<std::string> patterns;
  for (const PrositeEntry& e : ReadPrositeEntries(corpus)) patterns.push_back(e.pattern);
  // Frequent sites, so that the sequences hold matches to compare.
  for (const char* p : {"N-{P}-[ST]-{P}.", "[ST]-x-[RK].", "[ST]-x(2)-[DE].", "G-{EDRKHPFYW}-x(2)-[STAGCN]-{P}.",
                        "[RK]-x(2,3)-[DE]-x(2,3)-Y.", "C-x(2,4)-C-x(3)-[LIVMFYWC].", "[DE]-R-Y.", "L-x(1,8)-L-x(2)-K.",
                        "H-x(0,20)-H."}) {
    patterns.emplace_back(p);
  }
  std::size_t compared = 0;
  std::size_t matched = 0;
  for (const std::string& p : patterns) {
    std::string mot, why;
    if (!ConvertPrositePattern(p, mot, why)) continue;
    const std::regex re(RegexOf(p));
    const bool variable = mot.find('{') != std::string::npos;
    PreparedPattern prepared(mot, table);
    for (const std::string& s : seqs) {
      SCOPED_TRACE(p + " on " + s.substr(0, 20));
      const SearchOutcome out = SearchRow(prepared, s);
      // The successive leftmost matches, restarted after each one as our scan does.
      std::string expected;
      std::smatch m;
      for (std::size_t from = 0; from < s.size();) {
        if (!std::regex_search(s.cbegin() + static_cast<long>(from), s.cend(), m, re)) break;
        const std::size_t start = from + static_cast<std::size_t>(m.position(0));
        const std::size_t end = start + static_cast<std::size_t>(m.length(0)) - 1;
        expected += (expected.empty() ? "" : ",") + std::to_string(start) + "-" + std::to_string(end);
        if (variable || end + 2 >= s.size()) break;
        from = end + 1;
      }
      ++compared;
      if (!variable && !expected.empty()) ++matched;
      if (variable) {
        // Hits of one part never overlap, so a match whose first part lies
        // inside an earlier hit is not looked for; but every match found is
        // one of the regular expression's, and a row without those has none.
        for (const PatternMatch& pm : out.matches) {
          const std::size_t from = pm.front().start;
          EXPECT_TRUE(std::regex_match(s.substr(from, pm.back().end - from + 1), re)) << MatchesText({pm});
        }
        if (expected.empty()) EXPECT_TRUE(out.matches.empty());
        if (!out.matches.empty()) ++matched;
      } else {
        EXPECT_EQ(MatchesText(out.matches), expected);
      }
    }
  }
  EXPECT_GT(matched, 40u) << "the comparison needs rows with matches";
  EXPECT_GT(compared, 200u);
}

}  // namespace
