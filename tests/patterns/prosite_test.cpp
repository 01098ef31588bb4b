#include "vistram/patterns/prosite.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "patterns_test_support.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/shell/batch.h"

namespace {

TEST(Prosite, ConvertsWhatTheLanguageExpresses) {
  std::ifstream table(PatternsData("prosite_conversions.tsv"));
  int conversions = 0;
  for (std::string line; std::getline(table, line); ++conversions) {
    if (line[0] == '#') continue;
    const std::string prosite = line.substr(0, line.find('\t')), expected = line.substr(line.find('\t') + 1);
    std::string out, why;
    EXPECT_EQ(ConvertPrositePattern(prosite, out, why) ? out : "refused: " + why, expected) << prosite;
  }
  EXPECT_GT(conversions, 20);
  std::ifstream in(PatternsData("four_prosite_entries.dat"));
  const auto entries = ReadPrositeEntries(in);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].description + " " + entries[3].id, "Protein kinases ATP-binding region signature. CYSTEINE_SWITCH");
  EXPECT_EQ(entries[0].pattern,  // two PA lines joined
            "[LIV]-G-{P}-G-{P}-[FYWMGSTNH]-[SGA]-{PW}-[LIVCAT]-{PD}-x-[GSTACLIVMFY]-x(5,18)-[LIVMFYWCSTAR]-[AIVP]-"
            "[LIVMFAGCKR]-K.");
}

int RunBatch(std::vector<std::string> args) {
  args.insert(args.begin(), "vistram");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  int code = -1;
  EXPECT_TRUE(RunBatchIfRequested(static_cast<int>(args.size()), argv.data(), code));
  return code;
}

TEST(Prosite, BatchConversionAndSearch) {
  PatternsTempDir dir;
  const std::string in = PatternsData("four_prosite_entries.dat");
  testing::internal::CaptureStderr();
  ASSERT_EQ(RunBatch({"--prosite-to-mot", in, "-o", dir / "out.mot"}), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "PROTEIN_KINASE_ATP (PS00107): pattern over 99 characters once converted\n");
  EXPECT_EQ(test_support::ReadWholeFile(dir / "out.mot"), test_support::ReadWholeFile(PatternsData("four_prosite_entries.expected.mot")));
  // Failures exit 1 and write nothing; usage errors exit 2.
  testing::internal::CaptureStderr();
  for (const std::string& input : {dir.Write("k.dat", "ID   K; PATTERN.\nPA   <K-K.\n//\n"), dir / "none.dat", dir.Write("e.dat", "ID   X; MATRIX.\n//\n")})
    EXPECT_EQ(RunBatch({"--prosite-to-mot", input, "-o", dir / "x.mot"}), 1) << input;
  EXPECT_EQ(RunBatch({"--prosite-to-mot", in, "-o", dir / "no/such/x.mot"}), 1);
  EXPECT_EQ(RunBatch({"--prosite-to-mot", in}), 2);
  const std::string err = testing::internal::GetCapturedStderr();
  for (const char* text : {"None of the 1 PROSITE patterns", "No PROSITE pattern (PA line)", "Unable to write the file"}) EXPECT_NE(err.find(text), std::string::npos) << text;
  EXPECT_EQ(dir.EntryCount(), 3u);  // out.mot and the two inputs
  // --find-patterns: wrong arguments exit 2, unreadable inputs 1, a real alignment gives a line per match.
  const std::string f = "--find-patterns";
  testing::internal::CaptureStderr();
  for (const auto& args : std::vector<std::vector<std::string>>{{f, "in.msf"}, {f, "--pattern", "KK"}, {f, "in.msf", "--pattern"},
           {f, "in.msf", "--pattern", "KK", "--patterns", "x.mot"}, {f, "in.msf", "--pattern", "KK", "--select", "some"},
           {f, "a.msf", "b.msf", "--pattern", "KK"}})
    EXPECT_EQ(RunBatch(args), 2) << args.size();
  EXPECT_EQ(RunBatch({"--find-patterns", "in.msf", "--patterns", dir / "none.mot"}), 1);
  EXPECT_EQ(RunBatch({"--find-patterns", "in.msf", "--pattern", "KK", "--select", "first"}), 1);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("none.mot: Problem with the file of patterns !"), std::string::npos);
  RecordingPlatform platform;  // the protein table beside the program
  std::filesystem::copy_file(ShippedDataDir() + "/PROTEINE.TBL", dir / "PROTEINE.TBL");
  platform.SetProgramPath(dir / "vistram");
  SetCurrentPlatform(&platform);
  testing::internal::CaptureStdout();
  EXPECT_EQ(RunBatch({"--find-patterns", PatternsData("bioperl_cysprot1b.msf"), "--pattern", "QGSCGSCWAF"}), 0);
  SetCurrentPlatform(nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "PAPA_CARPA\tQGSCGSCWAF\t   1 : -- 157<QGSCGSCWAF>166 --\n");
}

// An ECMAScript expression read straight from the PROSITE syntax.
std::string RegexOf(const std::string& p) {
  const std::map<char, std::string> to = {{'-', ""}, {'.', ""}, {' ', ""}, {'x', "."}, {'{', "[^"}, {'}', "]"}, {'(', "{"}, {')', "}"}};
  std::string r;
  for (char c : p) r += to.count(c) != 0 ? to.at(c) : std::string(1, c);
  return r;
}

// Proteins of three corpus files, only those of standard residues (an X matches every element of ours, nothing of a regex).
std::vector<std::string> Proteins() {
  std::vector<std::string> seqs;
  for (const char* f : {"fasta36_prot_test.lib", "galaxy_blast_rhodopsin_proteins.fasta", "emboss_globins.fasta"}) {
    std::ifstream in(PatternsData(f));
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line[0] == '>') seqs.emplace_back();
      else if (!seqs.empty()) for (char c : line) if (std::isalpha(static_cast<unsigned char>(c))) seqs.back() += static_cast<char>(std::toupper(c));
    }
  }
  std::erase_if(seqs, [](const std::string& s) { return s.empty() || s.find_first_not_of("ACDEFGHIKLMNPQRSTVWY") != std::string::npos; });
  return seqs;
}

TEST(Prosite, ConvertedPatternsFindWhatRegularExpressionsFind) {
  const std::vector<std::string> seqs = Proteins();
  ResidueClassTable table;
  ASSERT_TRUE(seqs.size() >= 15 && CreeTableDNA(ShippedDataDir(), "PROTEINE", table));
  std::ifstream corpus(PatternsData("four_prosite_entries.dat"));
  // The corpus's patterns and frequent sites, so that the sequences hold matches to compare.
  std::vector<std::string> patterns = {"N-{P}-[ST]-{P}.", "[ST]-x-[RK].", "[ST]-x(2)-[DE].", "G-{EDRKHPFYW}-x(2)-[STAGCN]-{P}.",
      "[RK]-x(2,3)-[DE]-x(2,3)-Y.", "C-x(2,4)-C-x(3)-[LIVMFYWC].", "[DE]-R-Y.", "L-x(1,8)-L-x(2)-K.", "H-x(0,20)-H."};
  for (const PrositeEntry& e : ReadPrositeEntries(corpus)) patterns.push_back(e.pattern);
  std::size_t compared = 0, matched = 0;
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
      for (std::size_t from = 0; from < s.size() && std::regex_search(s.cbegin() + static_cast<long>(from), s.cend(), m, re);) {
        const std::size_t start = from + static_cast<std::size_t>(m.position(0)), end = start + static_cast<std::size_t>(m.length(0)) - 1;
        expected += (expected.empty() ? "" : ",") + std::to_string(start) + "-" + std::to_string(end);
        if (variable || end + 2 >= s.size()) break;
        from = end + 1;
      }
      ++compared;
      matched += (variable ? out.matches.empty() : expected.empty()) ? 0 : 1;
      if (!variable) { EXPECT_EQ(MatchesText(out.matches), expected); continue; }
      // Hits of one part never overlap, so some matches go unseen; but those found are the expression's.
      for (const PatternMatch& pm : out.matches)
        EXPECT_TRUE(std::regex_match(s.substr(pm.front().start, pm.back().end - pm.front().start + 1), re)) << MatchesText({pm});
      if (expected.empty()) EXPECT_TRUE(out.matches.empty());
    }
  }
  EXPECT_TRUE(matched > 40 && compared > 200) << "the comparison needs rows with matches: " << matched << "/" << compared;
}

}  // namespace
