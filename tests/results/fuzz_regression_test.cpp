// Inputs the fuzz targets found to misbehave (their faults show under the sanitizer build), and hostile files.
#include <sys/stat.h>

#include <climits>

#include "results/blast_test_util.h"
#include "vistram/results/fasta_parser.h"
#include "vistram/results/report_kind.h"

using namespace blasttest;

namespace {

class FuzzRegressionTest : public PlatformTest {
 protected:
  int ReadFasta(const std::string& bytes, int kind, DataProgram& dp) {
    return LitFastaForListBox(nullptr, nullptr, dp, dir_.Write("report", bytes), kind);
  }
  int FastaCode(const std::string& bytes) {
    DataProgram dp;
    return ReadFasta(bytes, kReportFastaText, dp);
  }
};

// A subject line no longer than its label: its empty segment was copied from a null pointer.
TEST_F(FuzzRegressionTest, FastaSubjectLineShorterThanItsLabel) {
  std::string report = ReadWholeFile(std::string(VISTRAM_TEST_DATA_DIR) + "/fasta/bioperl_bug2473.fasta");
  const std::string line = "BE0542 GAACUNUCUCAGUCAAGUUUAUUAUCUGCAUUGGAUGGAGUAAAUAUGGUCUACUUUGAUGGAAGACAUC";
  ASSERT_NE(report.find(line), std::string::npos);
  report.replace(report.find(line), line.size(), "BE0542");
  for (int kind : {6, 7, 8, 9}) {
    DataProgram dp;
    const int code = ReadFasta(report, kind, dp);
    EXPECT_TRUE(code == kFastaOk || code == kFastaFailed) << "kind " << kind << " code " << code;
    if (code == kFastaOk && dp.hits)
      for (const auto& hit : *dp.hits)
        for (const auto& ali : hit->alignments) EXPECT_EQ(ali->queryLine.size(), ali->middleLine.size());
  }
}

// Start numbers near the largest int: the ends and the viewer's residue numbers overflowed.
TEST_F(FuzzRegressionTest, BlastStartNumbersNearTheLargestInt) {
  const std::string seg(51, 'V');
  const std::string report =
      "BLASTP 2.0.10\nReference: Altschul\n\nQuery= Q\n         (60 letters)\n\nDatabase: db\n  1 sequences\n\n"
      ">HIT one\n          Length = 60\n\n Score = 50 bits (118), Expect = 1e-10\n Identities = 51/51 (100%)\n\n"
      "Query: 2147483646 " +
      seg + " 2147483647\n                  " + seg + "\nSbjct: 2147483000 " + seg +
      "\n\n  Database: db\n    Posted date:  Sep 3, 2001\n";
  auto l = Read(dir_.Write("big.bla", report), kReportBlastText);
  ASSERT_EQ(l->code, kBlastOk);
  ASSERT_EQ(l->dp.hits->size(), 1u);
  EXPECT_EQ(std::tie(l->ali(1, 1).queryStart, l->ali(1, 1).queryEnd, l->ali(1, 1).subjectEnd),
            std::make_tuple(INT_MAX - 1, INT_MAX, 2147483050));
  const auto viewer = LitUnAlignHsp(nullptr, 1, 1, l->dp);
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(std::tie(viewer->queryResidueNumbers.front(), viewer->queryResidueNumbers.back(),
                     viewer->subjectResidueNumbers.back()),
            std::make_tuple(INT_MAX - 1, INT_MAX, 2147483050));
}

// TestFichier and the FASTA reader on files no search program writes.
TEST_F(FuzzRegressionTest, HostileFilesGiveDocumentedCodes) {
  const std::string real = ReadWholeFile(std::string(VISTRAM_TEST_DATA_DIR) + "/fasta/bioperl_BOSS_DROME.FASTP_v35_04");
  ASSERT_EQ(FastaCode(real), kFastaOk);
  EXPECT_EQ(TestFichier(dir_.path()), kReportUnreadable);  // a folder opens but cannot be read
  const std::string fifo = dir_ / "fifo";                  // refused at once, not waited on
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(TestFichier(fifo), kReportUnreadable);
  std::string binary;
  for (int i = 0; i < 70000; ++i) binary.push_back(static_cast<char>((i * 7919 + i / 13) & 0xff));
  EXPECT_EQ(TestFichier(dir_.Write("binary", binary)), kReportUnknown);
  EXPECT_EQ(FastaCode(""), kFastaNoQuery);
  EXPECT_NE(FastaCode(binary), kFastaOk);

  // CR-only line ends (the line reader's rules: its own tests and the BLAST reader's).
  std::string cr = real;
  std::replace(cr.begin(), cr.end(), '\n', '\r');
  EXPECT_EQ(TestFichier(dir_.Write("cr", cr)), kReportFastaText);
  EXPECT_EQ(FastaCode(cr), kFastaOk);
  // Every prefix: a code, and success only once the end marker was read.
  const std::size_t marker = real.find("Scan time");
  for (std::size_t cut = 0; cut < real.size(); cut += 53) {
    const int code = FastaCode(real.substr(0, cut));
    EXPECT_TRUE(code >= kFastaFailed && code <= kFastaNoBuffers) << cut;
    if (marker != std::string::npos && cut < marker) EXPECT_NE(code, kFastaOk) << cut;
  }
}

}  // namespace
