// Reports written at test time by fasta36, ssearch36 and fastx36, cross-checked with BioPerl's SearchIO.
#include <algorithm>
#include <fstream>

#include "results/blast_test_util.h"
#include "vistram/results/fasta_parser.h"
#include "vistram/results/report_kind.h"
#include "vistram/shell/batch_load.h"

using namespace blasttest;

namespace {

const std::string kData = std::string(VISTRAM_TEST_DATA_DIR) + "/fasta/";

bool HaveBioPerl() {
  std::string out;
  return RunProgram({"perl", "-MBio::SearchIO", "-e", "1"}, out);
}

int Letters(const std::string& s) {
  return static_cast<int>(
      std::count_if(s.begin(), s.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }));
}

// Our reading against BioPerl's: hit names, ranges (the query's where asked) and expect values.
void CrossCheck(const std::string& report, bool queryRanges, bool expects) {
  SCOPED_TRACE(report);
  DataProgram dp;
  ASSERT_EQ(LitFastaForListBox(nullptr, nullptr, dp, report, kReportFastaText), kFastaOk);
  ExpectSameReading(OurReading(dp), PerlReading("bioperl_fasta_summary.pl", report), queryRanges, expects);
}

TEST(FastaBioPerl, CorpusReportsAgree) {
  if (!HaveBioPerl()) GTEST_SKIP() << "BioPerl is not installed";
  for (const char* f : {"bioperl_BOSS_DROME.FASTP_v35_04", "bioperl_HUMBETGLOA.FASTA", "bioperl_bug2473.fasta",
                        "bioperl_in.fasta", "bioperl_issue255_ssearch.fasta"})
    CrossCheck(kData + f, true, true);
  // FASTXY 3.4t07 (classic): query ends counted in aligned residues where
  // BioPerl gives the DNA's, and "E()" values not read by the classic rules.
  CrossCheck(kData + "bioperl_5X_1895.FASTXY", false, false);
}

class FastaTools : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    for (const char* p : {"fasta36", "ssearch36", "fastx36"})
      if (std::system((std::string("command -v ") + p + " > /dev/null").c_str()) != 0)
        GTEST_SKIP() << p << " is missing";
    std::ofstream lib(lib_);
    for (const char* f : {"emboss_globins.fasta", "fasta36_prot_test.lib", "bioperl_cysprot.fa",
                          "galaxy_blast_rhodopsin_proteins.fasta"})
      lib << ReadWholeFile(kData + "sequences/" + f) << "\n";
  }
  // Runs `program` (options, query, library) and returns the report read.
  std::unique_ptr<DataProgram> Search(const std::string& program, const std::string& query,
                                      std::vector<std::string> options, std::string& report) {
    std::vector<std::string> args = {program, "-q"};
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), {query, lib_});
    std::string out;
    EXPECT_TRUE(RunProgram(args, out)) << program;
    report = dir_.Write(program + std::to_string(options.size()) + ".txt", out);
    auto dp = std::make_unique<DataProgram>();
    EXPECT_EQ(LitFastaForListBox(nullptr, nullptr, *dp, report, kReportFastaText), kFastaOk);
    return dp;
  }
  const std::string lib_ = dir_ / "lib.fa";
};

// The stored lines hold exactly the residues between the printed coordinates.
TEST_F(FastaTools, ProteinSearchesOfFasta36AndSsearch36) {
  for (const auto& [program, options] : std::vector<std::pair<std::string, std::vector<std::string>>>{
           {"fasta36", {}}, {"ssearch36", {}}, {"fasta36", {"-m", "6"}}}) {
    SCOPED_TRACE(program + std::to_string(options.size()));
    std::string report;
    auto dp = Search(program, kData + "sequences/fasta36_hahu.aa", options, report);
    EXPECT_EQ(std::tie(dp->header.queryName, dp->header.queryLength), std::make_tuple(std::string("HAHU"), 141));
    ASSERT_GT(dp->hitCount, 5u);
    for (const auto& hit : *dp->hits)
      for (const auto& a : hit->alignments) {
        EXPECT_EQ(Letters(a->queryLine), a->queryEnd - a->queryStart + 1) << hit->identifier;
        EXPECT_EQ(Letters(a->subjectLine), a->subjectEnd - a->subjectStart + 1) << hit->identifier;
        EXPECT_TRUE(a->expect > 0 && a->zScore > 0 && a->opt > 0 && a->score > 0 && a->alignmentLength > 0)
            << hit->identifier;
      }
    if (options.empty() && HaveBioPerl()) CrossCheck(report, true, true);  // BioPerl does not read -m 6
  }
}

// A DNA query (a corpus protein written back as codons): the DNA's coordinates.
TEST_F(FastaTools, TranslatedSearchOfFastx36) {
  const std::string aa = "ACDEFGHIKLMNPQRSTVWY",
                    codons = "GCTTGTGATGAATTTGGTCATATTAAACTGATGAATCCTCAACGTTCTACTGTTTGGTAT";
  const std::string protein = ReadWholeFile(kData + "sequences/fasta36_hahu.aa");
  std::string dna;
  for (char c : protein.substr(protein.find('\n')))
    if (const auto k = aa.find(static_cast<char>(std::toupper(static_cast<unsigned char>(c)))); k != std::string::npos)
      dna += codons.substr(3 * k, 3);
  std::string report;
  auto dp =
      Search("fastx36", dir_.Write("hahu.fna", ">HAHU_DNA hemoglobin alpha as codons\n" + dna + "\n"), {}, report);
  EXPECT_EQ(std::tie(dp->header.queryName, dp->header.queryLength),
            std::make_tuple(std::string("HAHU_DNA"), int(dna.size())));
  ASSERT_GT(dp->hitCount, 0u);
  const AliData& best = *(*dp->hits)[0]->alignments[0];
  EXPECT_EQ(std::tie(best.queryStart, best.queryEnd), std::make_tuple(1, int(dna.size())));
  EXPECT_EQ(Letters(best.queryLine), 141);
  if (HaveBioPerl()) CrossCheck(report, true, true);
}

// Further queries become sections, which the load makes tables of their own.
TEST_F(FastaTools, MultiQueryReportOfFasta36) {
  const std::string query = dir_.Write("two.aa", ReadWholeFile(kData + "sequences/fasta36_hahu.aa") +
                                                     ReadWholeFile(kData + "sequences/fasta36_mgstm1.aa"));
  std::string report;
  auto dp = Search("fasta36", query, {}, report);
  EXPECT_EQ(dp->header.queryName, "HAHU");
  ASSERT_EQ(dp->extraSections.size(), 1u);
  const LoadedSection& second = dp->extraSections[0];
  EXPECT_EQ(std::tie(second.queryNumber, second.header.queryLengthText, second.header.resultType, second.hitCount),
            std::make_tuple(2, std::string("(218 letters)"), int(kResultFasta), second.hits->size()));
  EXPECT_EQ(second.header.databaseText, dp->header.databaseText);
  EXPECT_EQ((*second.hits)[0]->number, 1);
  if (HaveBioPerl()) CrossCheck(report, true, true);

  DataProgram loaded;
  ASSERT_EQ(LoadReportForBatch(loaded, report), 1);
  ASSERT_EQ(loaded.tableCount, 2);
  EXPECT_EQ(loaded.tables[1]->name + " " + loaded.tables[1]->header.queryName,
            "fasta360.txt (query 2) SP|P10649|GSTM1_MOUSE");
}

}  // namespace
