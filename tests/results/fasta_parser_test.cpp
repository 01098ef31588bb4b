#include "vistram/results/fasta_parser.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

const std::string kData = std::string(VISTRAM_TEST_DATA_DIR) + "/fasta/";

int Read(DataProgram& dp, const std::string& path, int kind = 7) {
  return LitFastaForListBox(nullptr, nullptr, dp, path, kind);
}

int Letters(const std::string& s) {
  int n = 0;
  for (char c : s) n += std::isalpha(static_cast<unsigned char>(c)) != 0 ? 1 : 0;
  return n;
}

// A private folder; File(name, text) writes the file when text is given.
struct TempDir : test_support::TempFolder {
  std::string File(const std::string& name, const std::string& text = {}) const {
    return text.empty() ? *this / name : Write(name, text);
  }
  const std::string& Path() const { return path(); }
};

// The three lines of an alignment always have one length, every hit has
// its selection array, and the counts of the working set agree.
void ExpectConsistent(const DataProgram& dp) {
  ASSERT_TRUE(dp.hits);
  EXPECT_EQ(dp.hitCount, dp.hits->size());
  EXPECT_EQ(dp.viewHitCount, static_cast<int>(dp.hits->size()));
  int total = 0;
  for (const auto& hit : *dp.hits) {
    EXPECT_EQ(hit->alignmentCount, static_cast<int>(hit->alignments.size()));
    EXPECT_EQ(hit->selected.size(), hit->alignments.size());
    EXPECT_GE(hit->alignmentCount, 1) << hit->identifier;
    total += hit->alignmentCount;
    for (const auto& ali : hit->alignments) {
      EXPECT_EQ(ali->queryLine.size(), ali->middleLine.size()) << hit->identifier;
      EXPECT_EQ(ali->queryLine.size(), ali->subjectLine.size()) << hit->identifier;
      EXPECT_EQ(ali->gapped, 1);
      EXPECT_LE(ali->statsText.size(), 199u);
    }
  }
  EXPECT_EQ(dp.alignmentCount, total);
  EXPECT_EQ(dp.header.resultType, kResultFasta);
}

// A small report of the classic layout: two alignment blocks for HIT1 (the
// second one reached through the query label), a hit header without
// statistics, and a hit whose statistics have no "expect".
std::string ClassicReport() {
  const std::string q1 = "MKVLAAGIVLMKVLAAGIVLMKVLAAGIVLMKVLAAGIVLMKVLAAGIVLMKVLAAGIVL";
  const std::string m1 = "  " + std::string(58, ':');
  const std::string s1 = "AAKVLWAGXVAAKVLWAGXVAAKVLWAGXVAAKVLWAGXVAAKVLWAGXVAAKVLWAGXV";
  std::ostringstream r;
  r << " FASTA searches a protein or DNA sequence data bank\n"
       " version 2.0u63 February 1996\n\n"
       " TESTQ, 66 aa\n"
       " vs PIR library\n\n"
       " 12345 residues in 67 sequences\n\n"
       "The best scores are:                          initn init1 opt z-sc E()\n"
       "HIT1 first hit                                  100    90 120 300 1e-10\n\n"
       " initn: 1 init1: 1 opt: 1 statistics before any hit are ignored\n"
       ">>HIT1 first hit                               (80 aa)\n"
       " initn: 100 init1: 90 opt: 120 z-score: 300.1 expect()  1e-10\n"
       "Smith-Waterman score: 125;  50.0% identity in 64 aa overlap\n\n"
       "               10\n"
       "TESTQ  " << q1 << "\n"
    << "       " << m1 << "\n"
    << "HIT1   " << s1 << "\n"
    << "               20\n\n"
       "               70\n"
       "TESTQ  mkvla-givl\n"
       "       :.:X :    \n"
       "HIT1   akv-lwagxv\n"
       "               80\n\n"
       ">>HIT2 a header without statistics\n"
       ">>HIT3 third hit\n"
       " initn: 50 init1: 40 opt: 60 z-score: 100.0 E(): 0.5\n"
       "Smith-Waterman score: 61;  40.0% identity in 5 aa overlap\n\n"
       "               10\n"
       "TESTQ  MKVLAAGIVL\n"
       "        ::.:.    \n"
       "HIT3   MRVIAAGLVL\n"
       "               10\n\n"
       "66 residues in 1 query   sequences\n"
       " Scan time:  1.000 Display time:  0.100\n";
  return r.str();
}

TEST(FastaClassicLayout, ReadsHeaderHitsBlocksAndStatistics) {
  TempDir dir;
  DataProgram dp;
  ASSERT_EQ(Read(dp, dir.File("r.fas", ClassicReport())), kFastaOk);
  ExpectConsistent(dp);
  EXPECT_EQ(dp.header.queryName, "TESTQ");
  EXPECT_EQ(dp.header.queryLength, 66);
  EXPECT_EQ(dp.header.databaseText, "PIR (12345 residues in 67 sequences)");
  EXPECT_EQ(dp.header.isHtml, 0);
  // HIT2 had no alignment and is not kept; the numbers follow the kept hits.
  ASSERT_EQ(dp.hitCount, 2u);
  const HspData& h1 = *(*dp.hits)[0];
  EXPECT_EQ(h1.number, 1);
  EXPECT_EQ(h1.identifier, "HIT1");
  EXPECT_EQ(h1.description.rfind(" FIRST HIT ", 0), 0u);
  EXPECT_EQ(h1.description.substr(h1.description.size() - 7), "(80 AA)");
  EXPECT_EQ(h1.scoreText, "120");
  EXPECT_EQ(h1.expectText, "1E-10");
  EXPECT_EQ(h1.lengthText, "");
  const AliData& a = *h1.alignments[0];
  // Cut to columns 2..65: the middle line is blank before and after.
  EXPECT_EQ(a.queryLine, "VLAAGIVL" + std::string("MKVLAAGIVLMKVLAAGIVLMKVLAAGIVLMKVLAAGIVLMKVLAAGIVL") + "MKVLA-");
  EXPECT_EQ(a.middleLine, std::string(58, '|') + "|:|| |");
  // Subject lines keep the report's case; later query blocks come from upper-cased lines.
  EXPECT_EQ(a.subjectLine, "KVLWAGXV" + std::string("AAKVLWAGXVAAKVLWAGXVAAKVLWAGXVAAKVLWAGXVAAKVLWAGXV") + "akv-lw");
  EXPECT_EQ(a.queryStart, 3);
  EXPECT_EQ(a.queryEnd, 65);
  EXPECT_EQ(a.subjectStart, 13);
  EXPECT_EQ(a.subjectEnd, 75);
  EXPECT_EQ(a.statsText,
            " initn: 100 init1: 90 opt: 120 z-score: 300.1 expect()  1e-10\n"
            "smith-waterman score: 125;  50.0% identity in 64 aa overlap");
  EXPECT_DOUBLE_EQ(a.initn, 100);
  EXPECT_DOUBLE_EQ(a.init1, 90);
  EXPECT_DOUBLE_EQ(a.opt, 120);
  EXPECT_DOUBLE_EQ(a.zScore, 300.1);
  EXPECT_DOUBLE_EQ(a.expect, 1e-10);
  EXPECT_DOUBLE_EQ(a.score, 125);
  EXPECT_DOUBLE_EQ(a.identityPercent, 50);
  EXPECT_DOUBLE_EQ(a.alignmentLength, 64);
  EXPECT_DOUBLE_EQ(a.positivePercent, -1);
  EXPECT_DOUBLE_EQ(a.pValue, -1);

  const HspData& h3 = *(*dp.hits)[1];
  EXPECT_EQ(h3.number, 2);
  EXPECT_EQ(h3.identifier, "HIT3");
  // "E(): 0.5" with nothing after it: the number where it stands.
  EXPECT_EQ(h3.expectText, "0.5");
  EXPECT_DOUBLE_EQ(h3.alignments[0]->expect, 0.5);
  EXPECT_DOUBLE_EQ(h3.alignments[0]->zScore, -1);  // "z-score:" not followed by "expect"
  EXPECT_EQ(h3.alignments[0]->queryLine, "KVLAA");
  EXPECT_EQ(h3.alignments[0]->middleLine, "||:|:");
  EXPECT_EQ(h3.alignments[0]->queryStart, 2);
  EXPECT_EQ(h3.alignments[0]->subjectEnd, 6);
}

TEST(FastaClassicLayout, FailureCodes) {
  TempDir dir;
  const std::string good = ClassicReport();
  auto without = [&](const std::string& text, const std::string& also = {}) {
    std::string r = good;
    r.erase(r.find(text), text.size());
    if (!also.empty()) r.erase(r.find(also), also.size());
    return r;
  };
  struct Case {
    const char* name;
    std::string text;
    int kind;
    int code;
  } cases[] = {
      {"no end marker", without(" Scan time:  1.000 Display time:  0.100\n"), 7, kFastaFailed},
      {"ends inside an alignment", good.substr(0, good.find("HIT1   AAKV")), 7, kFastaFailed},
      {"no library line", without(" vs PIR library\n"), 7, kFastaNoQuery},
      {"no residues line", without(" 12345 residues in 67 sequences\n", "66 residues in 1 query   sequences\n"), 7, kFastaNoResidues},
      {"not a FASTA kind", good, 5, kFastaFailed},
  };
  for (const Case& c : cases) {
    DataProgram dp;
    EXPECT_EQ(Read(dp, dir.File("r.fas", c.text), c.kind), c.code) << c.name;
  }
  DataProgram dp;
  EXPECT_EQ(Read(dp, dir.Path() + "/missing.fas"), kFastaCannotOpen);
  // HTML kinds set the flag.
  DataProgram html;
  EXPECT_EQ(Read(html, dir.File("r.fas", good), 6), kFastaOk);
  EXPECT_EQ(html.header.isHtml, 1);
}

TEST(FastaClassicLayout, EbiServiceHeader) {
  TempDir dir;
  std::string r = ClassicReport();
  r.replace(0, r.find(" vs PIR"),
            "FASTA searches a protein or DNA sequence data bank\n"
            " W.R. Pearson & D.J. Lipman PNAS (1988) 85:2444-2448\n\n"
            "/ebi/extserv/old-work/fasta-1234.sequence: 66 aa\n");
  DataProgram dp;
  ASSERT_EQ(Read(dp, dir.File("ebi.txt", r), 9), kFastaOk);
  EXPECT_EQ(dp.header.queryName, "sequence");
  EXPECT_EQ(dp.header.queryLength, 66);
  EXPECT_EQ(dp.hitCount, 2u);
  EXPECT_EQ((*dp.hits)[0]->alignments[0]->queryEnd, 65);
}

TEST(FastaTransfer, RulerColumnsGapsAndOverlap) {
  AliData ali;
  ali.statsText = " initn: 5 init1: 5 opt: 7 z-score: 9.5 expect() 2e-3\nsmith-waterman score: 8; 75.0% identity in 4 aa overlap";
  // The ruler number 5 stands above column 5; the gap in column 2 is no residue.
  ASSERT_EQ(TransfereDataFasta(ali, "AB-CDEF", "  :X.  ", "ABxCDEG", 5, 30, 5, 6), 1);
  EXPECT_EQ(ali.queryLine, "-CD");
  EXPECT_EQ(ali.middleLine, "||:");
  EXPECT_EQ(ali.subjectLine, "xCD");
  EXPECT_EQ(ali.queryStart, 3);
  EXPECT_EQ(ali.queryEnd, 4);
  EXPECT_EQ(ali.subjectStart, 26);  // 30 over column 6: column 0 is 24
  EXPECT_EQ(ali.subjectEnd, 28);
  EXPECT_DOUBLE_EQ(ali.expect, 2e-3);
  EXPECT_DOUBLE_EQ(ali.alignmentLength, 4);

  // Nothing overlaps: empty lines, no crash.
  AliData none;
  ASSERT_EQ(TransfereDataFasta(none, "ABC", "   ", "ABC", 1, 1, 0, 0), 1);
  EXPECT_TRUE(none.queryLine.empty());
  EXPECT_EQ(none.queryEnd, none.queryStart - 1);
}

TEST(FastaTransfer, StatisticsOfBothLayouts) {
  AliData ali;
  ali.statsText =
      " initn: 918 init1: 918 opt: 918  z-score: 1566.4  bits: 295.7 e(31): 6e-84\n"
      "smith-waterman score: 918; 100.0% identity (100.0% similar) in 141 aa overlap (1-141:1-141)";
  TransFasdata(ali);
  EXPECT_DOUBLE_EQ(ali.expect, 6e-84);
  EXPECT_DOUBLE_EQ(ali.zScore, -1);
  EXPECT_DOUBLE_EQ(ali.score, 918);
  EXPECT_DOUBLE_EQ(ali.identityPercent, 100);
  // The overlap length, not the similarity after "identity (".
  EXPECT_DOUBLE_EQ(ali.alignmentLength, 141);
  TransFasdata(ali, true);
  EXPECT_DOUBLE_EQ(ali.expect, 6e-84);
  EXPECT_DOUBLE_EQ(ali.zScore, 1566.4);
  EXPECT_DOUBLE_EQ(ali.opt, 918);

  AliData ss;
  ss.statsText = " s-w opt: 345  z-score: 424.1  bits: 83.9 e(1): 8.2e-22\n"
                 " 57.303% identity (59.302% ungapped) in 267 nt overlap (289-31:64902-65167)";
  TransFasdata(ss, true);
  EXPECT_DOUBLE_EQ(ss.initn, -1);
  EXPECT_DOUBLE_EQ(ss.opt, 345);
  EXPECT_DOUBLE_EQ(ss.expect, 8.2e-22);
  EXPECT_DOUBLE_EQ(ss.identityPercent, 57.303);
  EXPECT_DOUBLE_EQ(ss.alignmentLength, 267);
  EXPECT_DOUBLE_EQ(ss.score, -1);
}

TEST(FastaCorpus, EveryReportLoadsOrIsRefused) {
  struct Case {
    const char* file;
    int code;
    unsigned hits;
    int alignments;
  } cases[] = {
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
  for (const Case& c : cases) {
    DataProgram dp;
    ASSERT_EQ(Read(dp, kData + c.file), c.code) << c.file;
    if (c.code != kFastaOk) continue;
    ExpectConsistent(dp);
    EXPECT_EQ(dp.hitCount, c.hits) << c.file;
    EXPECT_EQ(dp.alignmentCount, c.alignments) << c.file;
  }
  for (const auto& entry : fs::directory_iterator(kData + "m10_variant")) {
    DataProgram dp;
    const int r = Read(dp, entry.path().string());
    // The two that report no hit at all have no machine-readable alignment lines.
    if (r == kFastaOk)
      EXPECT_EQ(dp.hitCount, 0u) << entry.path();
    else
      EXPECT_EQ(r, kFastaFailed) << entry.path();
  }
}

TEST(FastaCorpus, FieldsOfBothLayouts) {
  DataProgram classic;
  ASSERT_EQ(Read(classic, kData + "bioperl_5X_1895.FASTXY"), kFastaOk);
  EXPECT_EQ(classic.header.queryName, "5X_1895.FA");
  EXPECT_EQ(classic.header.queryLength, 7972);
  const HspData& c1 = *(*classic.hits)[0];
  EXPECT_EQ(c1.identifier, "NR_SC:SW-YNN2_YEAST");
  EXPECT_EQ(c1.scoreText, "2172");
  EXPECT_EQ(c1.expectText, "1.6E-154");
  EXPECT_DOUBLE_EQ(c1.alignments[0]->expect, 1.6e-154);
  EXPECT_EQ(c1.alignments[0]->subjectStart, 3);
  EXPECT_EQ(c1.alignments[0]->subjectEnd, 1053);
  EXPECT_DOUBLE_EQ(c1.alignments[0]->score, 3401);

  DataProgram current;
  ASSERT_EQ(Read(current, kData + "bioperl_issue255_ssearch.fasta"), kFastaOk);
  EXPECT_EQ(current.header.queryName, "A3_100BP_START38");
  EXPECT_EQ(current.header.queryLength, 100);
  EXPECT_EQ(current.header.databaseText, "READY_SORTED.FA (150 residues in 1 sequences)");
  const HspData& h = *(*current.hits)[0];
  EXPECT_EQ(h.identifier, "17271.26");
  EXPECT_EQ(h.scoreText, "345");
  EXPECT_EQ(h.expectText, "8.2E-22");  // from the first alignment
  ASSERT_EQ(h.alignmentCount, 3);
  const int expected[3][4] = {{1, 69, 82, 150}, {1, 28, 1, 28}, {1, 26, 55, 80}};
  for (int i = 0; i < 3; ++i) {
    const AliData& a = *h.alignments[static_cast<std::size_t>(i)];
    EXPECT_EQ(a.queryStart, expected[i][0]);
    EXPECT_EQ(a.queryEnd, expected[i][1]);
    EXPECT_EQ(a.subjectStart, expected[i][2]);
    EXPECT_EQ(a.subjectEnd, expected[i][3]);
    EXPECT_EQ(Letters(a.queryLine), a.queryEnd - a.queryStart + 1);
  }
  EXPECT_DOUBLE_EQ(h.alignments[2]->expect, 1.5e-06);
  EXPECT_DOUBLE_EQ(h.alignments[1]->identityPercent, 96.4);

  // The "Scan time" of the header does not end the report.
  DataProgram dna;
  ASSERT_EQ(Read(dna, kData + "bioperl_HUMBETGLOA.FASTA"), kFastaOk);
  EXPECT_EQ(dna.header.queryName, "HUMBETGLOA");
  EXPECT_EQ(dna.header.queryLength, 3002);
  const AliData& rc = *(*dna.hits)[0]->alignments[0];
  EXPECT_EQ(rc.queryStart, 289);  // reverse strand: printed as the report gives it
  EXPECT_EQ(rc.queryEnd, 31);
  EXPECT_DOUBLE_EQ(rc.expect, 0.017);
}

}  // namespace

// The whole load: recognition, the reader on the worker thread, the table.
#include "vistram/results/report_kind.h"
#include "vistram/shell/batch_load.h"

namespace {

TEST(FastaLoadFlow, ReportsOpenAsTablesThroughTheLoadFlow) {
  EXPECT_EQ(TestFichier(kData + "bioperl_issue255_ssearch.fasta"), kReportFastaText);  // no "initn" in it
  EXPECT_EQ(TestFichier(kData + "bioperl_5X_1895.FASTXY"), kReportFastaText);
  for (const char* f : {"bioperl_issue255_ssearch.fasta", "bioperl_5X_1895.FASTXY", "bioperl_HUMBETGLOA.FASTA"}) {
    DataProgram dp;
    ASSERT_EQ(LoadReportForBatch(dp, kData + f), 1) << f;
    ASSERT_EQ(dp.tableCount, 1);
    EXPECT_EQ(dp.tables[0]->name, f);
    EXPECT_EQ(dp.tables[0]->header.resultType, kResultFasta);
    EXPECT_EQ((*dp.hits)[0]->alignments[0]->sourceHitNumber, 1);
  }
  // A refused report leaves no table.
  DataProgram dp;
  EXPECT_EQ(LoadReportForBatch(dp, kData + "biojava_fasta_3.3t08.out"), 0);
  EXPECT_EQ(dp.tableCount, 0);
}

}  // namespace
