// Reports written at test time by the FASTA package's programs (fasta36,
// ssearch36, fastx36) over a small protein library made of corpus
// sequences, and a cross-check of every report with BioPerl's SearchIO.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "vistram/results/fasta_parser.h"
#include "vistram/results/report_kind.h"
#include "vistram/shell/batch_load.h"

namespace {

namespace fs = std::filesystem;

const std::string kData = std::string(VISTRAM_TEST_DATA_DIR) + "/fasta/";
const std::string kSummary = std::string(VISTRAM_TEST_DATA_DIR) + "/../tools/bioperl_fasta_summary.pl";

bool OnPath(const std::string& program) {
  return std::system(("command -v " + program + " > /dev/null 2>&1").c_str()) == 0;
}

bool HaveBioPerl() { return std::system("perl -MBio::SearchIO -e 1 > /dev/null 2>&1") == 0; }

std::string Run(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (p == nullptr) return out;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

int Letters(const std::string& s) {
  int n = 0;
  for (char c : s) n += std::isalpha(static_cast<unsigned char>(c)) != 0 ? 1 : 0;
  return n;
}

using Scratch = test_support::TempFolder;

// The library: several protein files of the corpus in one.
std::string MakeLibrary(const Scratch& dir) {
  const std::string lib = dir / "lib.fa";
  std::ofstream out(lib);
  for (const char* f : {"emboss_globins.fasta", "fasta36_prot_test.lib", "bioperl_cysprot.fa",
                        "galaxy_blast_rhodopsin_proteins.fasta"}) {
    std::ifstream in(kData + "sequences/" + f);
    out << in.rdbuf() << "\n";
  }
  return lib;
}

struct PerlHsp {
  int q1, q2, s1, s2;
  double expect;
};
struct PerlHit {
  std::string name;
  std::vector<PerlHsp> hsps;
};

// BioPerl's reading of a report: the hits of each query.
std::vector<std::vector<PerlHit>> PerlReading(const std::string& report) {
  std::istringstream in(Run("perl '" + kSummary + "' '" + report + "' 2>/dev/null"));
  std::string line;
  std::vector<std::vector<PerlHit>> queries;
  while (std::getline(in, line)) {
    std::istringstream f(line);
    std::string tag;
    std::getline(f, tag, '\t');
    if (tag == "Q") {
      queries.emplace_back();
    } else if (tag == "H" && !queries.empty()) {
      PerlHit h;
      std::getline(f, h.name, '\t');
      queries.back().push_back(h);
    } else if (tag == "S" && !queries.empty() && !queries.back().empty()) {
      PerlHsp s{};
      std::string e;
      f >> s.q1 >> s.q2 >> s.s1 >> s.s2 >> e;
      s.expect = e.empty() ? -1 : std::strtod(e.c_str(), nullptr);
      queries.back().back().hsps.push_back(s);
    }
  }
  return queries;
}

void CompareHits(const HitList& ours, const std::vector<PerlHit>& perl, bool queryCoordinates, bool expectValues) {
  ASSERT_EQ(ours.size(), perl.size());
  for (std::size_t i = 0; i < perl.size(); ++i) {
    const HspData& hit = *ours[i];
    EXPECT_EQ(hit.identifier, Upper(perl[i].name).substr(0, 39));
    ASSERT_EQ(hit.alignments.size(), perl[i].hsps.size()) << hit.identifier;
    for (std::size_t k = 0; k < perl[i].hsps.size(); ++k) {
      const AliData& a = *hit.alignments[k];
      const PerlHsp& p = perl[i].hsps[k];
      if (queryCoordinates) {
        EXPECT_EQ(std::min(a.queryStart, a.queryEnd), p.q1) << hit.identifier;
        EXPECT_EQ(std::max(a.queryStart, a.queryEnd), p.q2) << hit.identifier;
      }
      EXPECT_EQ(std::min(a.subjectStart, a.subjectEnd), p.s1) << hit.identifier;
      EXPECT_EQ(std::max(a.subjectStart, a.subjectEnd), p.s2) << hit.identifier;
      if (expectValues && p.expect >= 0) EXPECT_NEAR(a.expect, p.expect, p.expect * 1e-6) << hit.identifier;
    }
  }
}

// Our reading against BioPerl's, query by query: hits, names, alignments,
// coordinates (as lowest, highest) and, where asked, expect values.
void CrossCheck(const std::string& report, bool queryCoordinates, bool expectValues) {
  SCOPED_TRACE(report);
  DataProgram dp;
  ASSERT_EQ(LitFastaForListBox(nullptr, nullptr, dp, report, kReportFastaText), kFastaOk);
  const std::vector<std::vector<PerlHit>> perl = PerlReading(report);
  ASSERT_EQ(perl.size(), dp.extraSections.size() + 1);
  CompareHits(*dp.hits, perl[0], queryCoordinates, expectValues);
  for (std::size_t q = 1; q < perl.size(); ++q)
    CompareHits(*dp.extraSections[q - 1].hits, perl[q], queryCoordinates, expectValues);
}

TEST(FastaBioPerl, CorpusReportsAgree) {
  if (!HaveBioPerl()) GTEST_SKIP() << "BioPerl is not installed";
  // The current layout: everything agrees.
  for (const char* f : {"bioperl_BOSS_DROME.FASTP_v35_04", "bioperl_HUMBETGLOA.FASTA", "bioperl_bug2473.fasta",
                        "bioperl_in.fasta", "bioperl_issue255_ssearch.fasta"})
    CrossCheck(kData + f, true, true);
  // The classic layout (FASTXY 3.4t07): its query ends are counted in
  // aligned residues, where BioPerl gives the DNA query's coordinates, and
  // its "E()" values are not read by the classic rules.
  CrossCheck(kData + "bioperl_5X_1895.FASTXY", false, false);
}

class FastaTools : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!OnPath("fasta36") || !OnPath("ssearch36") || !OnPath("fastx36"))
      GTEST_SKIP() << "the FASTA package (fasta36, ssearch36, fastx36) is not installed";
    lib_ = MakeLibrary(dir_);
  }

  // Runs `program` and returns the report's path.
  std::string Search(const std::string& program, const std::string& query, const std::string& options,
                     const std::string& name) {
    const std::string out = dir_ / name;
    const std::string cmd = program + " -q " + options + " '" + query + "' '" + lib_ + "' > '" + out + "' 2>/dev/null";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    return out;
  }

  Scratch dir_;
  std::string lib_;
};

// Protein searches: the stored lines hold exactly the residues between the
// printed coordinates, and BioPerl agrees on everything.
TEST_F(FastaTools, ProteinSearchesOfFasta36AndSsearch36) {
  const std::string query = kData + "sequences/fasta36_hahu.aa";
  for (const auto& [program, options] : std::vector<std::pair<std::string, std::string>>{
           {"fasta36", ""}, {"ssearch36", ""}, {"fasta36", "-m 6"}}) {
    const std::string report = Search(program, query, options, program + "_report.txt");
    SCOPED_TRACE(program + " " + options);
    DataProgram dp;
    ASSERT_EQ(LitFastaForListBox(nullptr, nullptr, dp, report, kReportFastaText), kFastaOk);
    EXPECT_EQ(dp.header.queryName, "HAHU");
    EXPECT_EQ(dp.header.queryLength, 141);
    ASSERT_GT(dp.hitCount, 5u);
    // The query itself is in the library, as is the identical HBA_HUMAN (same score).
    const std::string& top = (*dp.hits)[0]->identifier;
    EXPECT_TRUE(top == "HAHU" || top == "HBA_HUMAN") << top;
    int several = 0;
    for (const auto& hit : *dp.hits) {
      several += hit->alignmentCount > 1 ? 1 : 0;
      for (const auto& a : hit->alignments) {
        EXPECT_EQ(Letters(a->queryLine), a->queryEnd - a->queryStart + 1) << hit->identifier;
        EXPECT_EQ(Letters(a->subjectLine), a->subjectEnd - a->subjectStart + 1) << hit->identifier;
        EXPECT_GT(a->expect, 0) << hit->identifier;
        EXPECT_GT(a->zScore, 0) << hit->identifier;
        EXPECT_GT(a->opt, 0) << hit->identifier;
        EXPECT_GT(a->score, 0) << hit->identifier;
        EXPECT_GT(a->alignmentLength, 0) << hit->identifier;
      }
    }
    // As many hits and alignments as the report prints ">>" headers and
    // statistics lines (how many hits get a second alignment varies from
    // run to run: the statistics come from random shuffles).
    std::ifstream text(report);
    std::string l;
    unsigned headers = 0;
    int statistics = 0;
    while (std::getline(text, l)) {
      if (const auto pre = l.find("<pre>"); pre != std::string::npos) l.erase(0, pre + 5);
      const auto arrows = l.find(">>");
      if (arrows != std::string::npos && l.find(">>>") == std::string::npos) ++headers;
      if (l.find("initn:") != std::string::npos || l.find("s-w opt:") != std::string::npos) ++statistics;
    }
    EXPECT_EQ(dp.hitCount, headers);
    EXPECT_EQ(dp.alignmentCount, statistics);
    EXPECT_EQ(several > 0, statistics > static_cast<int>(headers));
    // BioPerl does not read the HTML (-m 6) layout.
    if (options.empty() && HaveBioPerl()) CrossCheck(report, true, true);
  }
}

// A DNA query (a corpus protein written back as codons) against the
// protein library: the query's coordinates are the DNA's.
TEST_F(FastaTools, TranslatedSearchOfFastx36) {
  static const std::map<char, const char*> codon = {
      {'A', "GCT"}, {'C', "TGT"}, {'D', "GAT"}, {'E', "GAA"}, {'F', "TTT"}, {'G', "GGT"}, {'H', "CAT"},
      {'I', "ATT"}, {'K', "AAA"}, {'L', "CTG"}, {'M', "ATG"}, {'N', "AAT"}, {'P', "CCT"}, {'Q', "CAA"},
      {'R', "CGT"}, {'S', "TCT"}, {'T', "ACT"}, {'V', "GTT"}, {'W', "TGG"}, {'Y', "TAT"}};
  std::ifstream in(kData + "sequences/fasta36_hahu.aa");
  std::string line, dna;
  std::getline(in, line);
  while (std::getline(in, line))
    for (char c : line)
      if (auto it = codon.find(static_cast<char>(std::toupper(static_cast<unsigned char>(c)))); it != codon.end())
        dna += it->second;
  const std::string query = dir_ / "hahu.fna";
  std::ofstream(query) << ">HAHU_DNA hemoglobin alpha written as codons\n" << dna << "\n";

  const std::string report = Search("fastx36", query, "", "fastx36_report.txt");
  DataProgram dp;
  ASSERT_EQ(LitFastaForListBox(nullptr, nullptr, dp, report, kReportFastaText), kFastaOk);
  EXPECT_EQ(dp.header.queryName, "HAHU_DNA");
  EXPECT_EQ(dp.header.queryLength, static_cast<int>(dna.size()));
  ASSERT_GT(dp.hitCount, 0u);
  const AliData& best = *(*dp.hits)[0]->alignments[0];
  EXPECT_EQ(best.queryStart, 1);
  EXPECT_EQ(best.queryEnd, static_cast<int>(dna.size()));
  EXPECT_EQ(Letters(best.queryLine), 141);
  if (HaveBioPerl()) CrossCheck(report, true, true);
}

// Several queries in one report: the further ones become sections, which
// the load-done handler makes tables of their own.
TEST_F(FastaTools, MultiQueryReportOfFasta36) {
  const std::string query = dir_ / "two.aa";
  {
    std::ofstream out(query);
    for (const char* f : {"fasta36_hahu.aa", "fasta36_mgstm1.aa"}) {
      std::ifstream in(kData + "sequences/" + f);
      out << in.rdbuf();
    }
  }
  const std::string report = Search("fasta36", query, "", "two_queries.txt");
  DataProgram dp;
  ASSERT_EQ(LitFastaForListBox(nullptr, nullptr, dp, report, kReportFastaText), kFastaOk);
  EXPECT_EQ(dp.header.queryName, "HAHU");
  ASSERT_EQ(dp.extraSections.size(), 1u);
  const LoadedSection& second = dp.extraSections[0];
  EXPECT_EQ(second.queryNumber, 2);
  EXPECT_EQ(second.header.queryName, "SP|P10649|GSTM1_MOUSE");
  EXPECT_EQ(second.header.queryLength, 218);
  EXPECT_EQ(second.header.queryLengthText, "(218 letters)");
  EXPECT_EQ(second.header.databaseText, dp.header.databaseText);
  EXPECT_EQ(second.header.resultType, kResultFasta);
  ASSERT_GT(second.hitCount, 0u);
  EXPECT_EQ(second.hitCount, second.hits->size());
  EXPECT_EQ((*second.hits)[0]->number, 1);
  EXPECT_EQ((*second.hits)[0]->selected.size(), (*second.hits)[0]->alignments.size());
  if (HaveBioPerl()) CrossCheck(report, true, true);

  DataProgram loaded;
  ASSERT_EQ(LoadReportForBatch(loaded, report), 1);
  ASSERT_EQ(loaded.tableCount, 2);
  EXPECT_EQ(loaded.tables[1]->name, "two_queries.txt (query 2)");
  EXPECT_EQ(loaded.tables[1]->header.queryName, "SP|P10649|GSTM1_MOUSE");
}

}  // namespace
