#include "vistram/results/fasta_parser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "support/temp_folder.h"

namespace {

const std::string kData = std::string(VISTRAM_TEST_DATA_DIR) + "/fasta/";
const std::string kClassic =
    test_support::ReadWholeFile(std::string(VISTRAM_TEST_DATA_DIR) + "/results/fasta_classic.txt");

int Read(DataProgram& dp, const std::string& path, int kind = 7) {
  return LitFastaForListBox(nullptr, nullptr, dp, path, kind);
}

// The three lines of an alignment have one length, every hit its selection array, the counts agree.
void ExpectConsistent(const DataProgram& dp) {
  ASSERT_TRUE(dp.hits);
  EXPECT_EQ(std::tie(dp.hitCount, dp.viewHitCount), std::make_tuple(dp.hits->size(), int(dp.hits->size())));
  int total = 0;
  for (const auto& hit : *dp.hits) {
    EXPECT_EQ(std::tie(hit->alignmentCount, hit->selected),
              std::make_tuple(int(hit->alignments.size()), std::vector<int>(hit->alignments.size())));
    EXPECT_GE(hit->alignmentCount, 1) << hit->identifier;
    total += hit->alignmentCount;
    for (const auto& ali : hit->alignments) {
      EXPECT_EQ(std::make_tuple(ali->middleLine.size(), ali->subjectLine.size(), ali->gapped),
                std::make_tuple(ali->queryLine.size(), ali->queryLine.size(), 1))
          << hit->identifier;
      EXPECT_LE(ali->statsText.size(), 199u);
    }
  }
  EXPECT_EQ(std::tie(dp.alignmentCount, dp.header.resultType), std::make_tuple(total, int(kResultFasta)));
}

TEST(FastaClassicLayout, ReadsHeaderHitsBlocksAndStatistics) {
  test_support::TempFolder dir;
  DataProgram dp;
  ASSERT_EQ(Read(dp, dir.Write("r.fas", kClassic)), kFastaOk);
  ExpectConsistent(dp);
  EXPECT_EQ(std::tie(dp.header.queryName, dp.header.queryLength, dp.header.isHtml),
            std::make_tuple(std::string("TESTQ"), 66, 0));
  EXPECT_EQ(dp.header.databaseText, "PIR (12345 residues in 67 sequences)");
  // HIT2 had no alignment and is not kept; the numbers follow the kept hits.
  ASSERT_EQ(dp.hitCount, 2u);
  const HspData& h1 = *(*dp.hits)[0];
  EXPECT_EQ(std::tie(h1.number, h1.identifier, h1.scoreText, h1.expectText, h1.lengthText),
            std::make_tuple(1, std::string("HIT1"), std::string("120"), std::string("1E-10"), std::string()));
  EXPECT_EQ(h1.description.substr(0, 11) + h1.description.substr(h1.description.size() - 7), " FIRST HIT (80 AA)");
  const AliData& a = *h1.alignments[0];
  // Cut to columns 2..65 where the middle line is not blank; subject lines keep
  // the report's case, later query blocks come from upper-cased lines.
  const std::string q5 = "MKVLAAGIVLMKVLAAGIVLMKVLAAGIVLMKVLAAGIVLMKVLAAGIVL";
  EXPECT_EQ(a.queryLine, "VLAAGIVL" + q5 + "MKVLA-");
  EXPECT_EQ(a.middleLine, std::string(58, '|') + "|:|| |");
  EXPECT_EQ(a.subjectLine, "KVLWAGXV" + std::string("AAKVLWAGXVAAKVLWAGXVAAKVLWAGXVAAKVLWAGXVAAKVLWAGXV") + "akv-lw");
  EXPECT_EQ(std::tie(a.queryStart, a.queryEnd, a.subjectStart, a.subjectEnd), std::make_tuple(3, 65, 13, 75));
  EXPECT_EQ(a.statsText,
            " initn: 100 init1: 90 opt: 120 z-score: 300.1 expect()  1e-10\n"
            "smith-waterman score: 125;  50.0% identity in 64 aa overlap");
  EXPECT_EQ(std::tie(a.initn, a.init1, a.opt, a.zScore, a.expect, a.score, a.identityPercent, a.alignmentLength,
                     a.positivePercent, a.pValue),
            std::make_tuple(100.0, 90.0, 120.0, 300.1, 1e-10, 125.0, 50.0, 64.0, -1.0, -1.0));

  const HspData& h3 = *(*dp.hits)[1];
  EXPECT_EQ(std::tie(h3.number, h3.identifier, h3.expectText),
            std::make_tuple(2, std::string("HIT3"), std::string("0.5")));
  const AliData& b = *h3.alignments[0];
  // "E(): 0.5" with nothing after it; "z-score:" not followed by "expect" is not read.
  EXPECT_EQ(std::tie(b.expect, b.zScore, b.queryLine, b.middleLine, b.queryStart, b.subjectEnd),
            std::make_tuple(0.5, -1.0, std::string("KVLAA"), std::string("||:|:"), 2, 6));

  // The EBI service's header names the query after its file.
  std::string ebi = kClassic;
  ebi.replace(0, ebi.find(" vs PIR"),
              "FASTA searches a protein or DNA sequence data bank\n"
              " W.R. Pearson & D.J. Lipman PNAS (1988) 85:2444-2448\n\n"
              "/ebi/extserv/old-work/fasta-1234.sequence: 66 aa\n");
  DataProgram e;
  ASSERT_EQ(Read(e, dir.Write("ebi.txt", ebi), 9), kFastaOk);
  EXPECT_EQ(std::tie(e.header.queryName, e.header.queryLength, e.hitCount),
            std::make_tuple(std::string("sequence"), 66, 2u));
  EXPECT_EQ((*e.hits)[0]->alignments[0]->queryEnd, 65);
}

TEST(FastaClassicLayout, FailureCodes) {
  test_support::TempFolder dir;
  auto without = [](std::string r, const std::string& text) { return r.erase(r.find(text), text.size()); };
  const std::tuple<const char*, std::string, int, int> cases[] = {
      {"no end marker", without(kClassic, " Scan time:  1.000 Display time:  0.100\n"), 7, kFastaFailed},
      {"ends inside an alignment", kClassic.substr(0, kClassic.find("HIT1   AAKV")), 7, kFastaFailed},
      {"no library line", without(kClassic, " vs PIR library\n"), 7, kFastaNoQuery},
      {"no residues line",
       without(without(kClassic, " 12345 residues in 67 sequences\n"), "66 residues in 1 query   sequences\n"), 7,
       kFastaNoResidues},
      {"not a FASTA kind", kClassic, 5, kFastaFailed},
  };
  for (const auto& [name, text, kind, code] : cases) {
    DataProgram dp;
    EXPECT_EQ(Read(dp, dir.Write("r.fas", text), kind), code) << name;
  }
  DataProgram dp, html;
  EXPECT_EQ(Read(dp, dir.path() + "/missing.fas"), kFastaCannotOpen);
  EXPECT_EQ(Read(html, dir.Write("r.fas", kClassic), 6), kFastaOk);
  EXPECT_EQ(html.header.isHtml, 1);
}

TEST(FastaTransfer, RulerColumnsGapsOverlapAndStatisticsOfBothLayouts) {
  AliData ali;
  ali.statsText =
      " initn: 5 init1: 5 opt: 7 z-score: 9.5 expect() 2e-3\nsmith-waterman score: 8; 75.0% identity in 4 aa overlap";
  // The ruler number 5 stands above column 5; the gap in column 2 is no residue.
  ASSERT_EQ(TransfereDataFasta(ali, "AB-CDEF", "  :X.  ", "ABxCDEG", 5, 30, 5, 6), 1);
  EXPECT_EQ(std::tie(ali.queryLine, ali.middleLine, ali.subjectLine),
            std::make_tuple(std::string("-CD"), std::string("||:"), std::string("xCD")));
  EXPECT_EQ(std::tie(ali.queryStart, ali.queryEnd, ali.subjectStart, ali.subjectEnd), std::make_tuple(3, 4, 26, 28));
  EXPECT_EQ(std::tie(ali.expect, ali.alignmentLength), std::make_tuple(2e-3, 4.0));
  AliData none;  // nothing overlaps: empty lines
  ASSERT_EQ(TransfereDataFasta(none, "ABC", "   ", "ABC", 1, 1, 0, 0), 1);
  EXPECT_TRUE(none.queryLine.empty());
  EXPECT_EQ(none.queryEnd, none.queryStart - 1);

  ali.statsText =
      " initn: 918 init1: 918 opt: 918  z-score: 1566.4  bits: 295.7 e(31): 6e-84\n"
      "smith-waterman score: 918; 100.0% identity (100.0% similar) in 141 aa overlap (1-141:1-141)";
  TransFasdata(ali);
  // The overlap length, not the similarity after "identity (".
  EXPECT_EQ(std::tie(ali.expect, ali.zScore, ali.score, ali.identityPercent, ali.alignmentLength),
            std::make_tuple(6e-84, -1.0, 918.0, 100.0, 141.0));
  TransFasdata(ali, true);
  EXPECT_EQ(std::tie(ali.expect, ali.zScore, ali.opt), std::make_tuple(6e-84, 1566.4, 918.0));
  ali.statsText =
      " s-w opt: 345  z-score: 424.1  bits: 83.9 e(1): 8.2e-22\n"
      " 57.303% identity (59.302% ungapped) in 267 nt overlap (289-31:64902-65167)";
  TransFasdata(ali, true);
  EXPECT_EQ(std::tie(ali.initn, ali.opt, ali.expect, ali.identityPercent, ali.alignmentLength, ali.score),
            std::make_tuple(-1.0, 345.0, 8.2e-22, 57.303, 267.0, -1.0));
}

TEST(FastaCorpus, EveryReportLoadsOrIsRefused) {
  const std::tuple<const char*, int, unsigned, int> cases[] = {
      {"bioperl_5X_1895.FASTXY", kFastaOk, 58, 58},
      {"bioperl_BOSS_DROME.FASTP_v35_04", kFastaOk, 1, 1},
      {"bioperl_HUMBETGLOA.FASTA", kFastaOk, 89, 89},
      {"bioperl_bug2473.fasta", kFastaOk, 1, 1},
      {"bioperl_in.fasta", kFastaOk, 1, 1},
      {"bioperl_issue255_ssearch.fasta", kFastaOk, 1, 3},
      // Machine-readable (-m 10) output and GCG's layout are refused.
      {"biojava_fasta_3.3t08.out", kFastaFailed, 0, 0},
      {"bioperl_test.gcgfasta", kFastaNoQuery, 0, 0},
  };
  for (const auto& [file, code, hits, alignments] : cases) {
    DataProgram dp;
    ASSERT_EQ(Read(dp, kData + file), code) << file;
    if (code != kFastaOk) continue;
    ExpectConsistent(dp);
    EXPECT_EQ(std::tie(dp.hitCount, dp.alignmentCount), std::tie(hits, alignments)) << file;
  }
  // The two of these that load report no hit at all.
  for (const auto& entry : std::filesystem::directory_iterator(kData + "m10_variant")) {
    DataProgram dp;
    const int r = Read(dp, entry.path().string());
    EXPECT_TRUE(r == kFastaFailed || (r == kFastaOk && dp.hitCount == 0u)) << entry.path();
  }
}

// Headers and hit texts of both layouts (the rest: the BioPerl cross-check); a reverse strand in printed order.
TEST(FastaCorpus, FieldsOfBothLayouts) {
  const std::tuple<const char*, const char*, int, const char*> reports[] = {
      {"bioperl_5X_1895.FASTXY", "5X_1895.FA", 7972, "NR_SC:SW-YNN2_YEAST 2172 1.6E-154"},
      {"bioperl_issue255_ssearch.fasta", "A3_100BP_START38", 100, "17271.26 345 8.2E-22"},
      {"bioperl_HUMBETGLOA.FASTA", "HUMBETGLOA", 3002, ""}};
  for (const auto& [file, name, length, texts] : reports) {
    DataProgram dp;
    ASSERT_EQ(Read(dp, kData + file), kFastaOk);
    const HspData& h = *(*dp.hits)[0];
    EXPECT_EQ(std::tie(dp.header.queryName, dp.header.queryLength), std::make_tuple(std::string(name), length));
    if (*texts != '\0') EXPECT_EQ(h.identifier + " " + h.scoreText + " " + h.expectText, texts);
    const AliData& a = *h.alignments[0];
    if (length == 7972) EXPECT_EQ(std::tie(a.expect, a.score), std::make_tuple(1.6e-154, 3401.0));
    if (length == 100) EXPECT_EQ(dp.header.databaseText, "READY_SORTED.FA (150 residues in 1 sequences)");
    if (length == 100)
      EXPECT_EQ(std::tie(h.alignments[1]->identityPercent, h.alignments[2]->expect), std::make_tuple(96.4, 1.5e-06));
    if (length == 3002) EXPECT_EQ(std::tie(a.queryStart, a.queryEnd, a.expect), std::make_tuple(289, 31, 0.017));
  }
}

}  // namespace
