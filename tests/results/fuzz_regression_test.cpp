// Inputs that the fuzz targets (fuzz/) found to misbehave, reduced to what
// reproduces them, and the hostile files every reader must load or refuse
// with a code. The misbehaviour of the first ones shows under the sanitizer
// build (scripts/test --sanitize); the codes are checked everywhere.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <fstream>
#include <iterator>
#include <string>

#include "results/blast_test_util.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/fasta_parser.h"
#include "vistram/results/report_kind.h"

using blasttest::TempDir;

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class FuzzRegressionTest : public ::testing::Test {
 protected:
  void SetUp() override { SetCurrentPlatform(&platform_); }
  void TearDown() override { SetCurrentPlatform(nullptr); }
  int ReadFasta(const std::string& bytes, int kind, DataProgram& dp) {
    return LitFastaForListBox(nullptr, nullptr, dp, dir_.Write("report", bytes), kind);
  }
  RecordingPlatform platform_;
  TempDir dir_;
};

// A subject line of an alignment block no longer than its label columns:
// its empty segment was copied from a null pointer.
TEST_F(FuzzRegressionTest, FastaSubjectLineShorterThanItsLabel) {
  std::string report = ReadFile(std::string(VISTRAM_TEST_DATA_DIR) + "/fasta/bioperl_bug2473.fasta");
  const std::string line = "BE0542 GAACUNUCUCAGUCAAGUUUAUUAUCUGCAUUGGAUGGAGUAAAUAUGGUCUACUUUGAUGGAAGACAUC";
  const std::size_t at = report.find(line);
  ASSERT_NE(at, std::string::npos);
  report.replace(at, line.size(), "BE0542");
  for (int kind : {6, 7, 8, 9}) {
    DataProgram dp;
    const int code = ReadFasta(report, kind, dp);
    EXPECT_TRUE(code == kFastaOk || code == kFastaFailed) << "kind " << kind << " code " << code;
    if (code == kFastaOk && dp.hits) {
      for (const auto& hit : *dp.hits)
        for (const auto& ali : hit->alignments) EXPECT_EQ(ali->queryLine.size(), ali->middleLine.size());
    }
  }
}

// Start numbers near the largest int: the alignment's ends and the viewer's
// residue numbers overflowed int (found on a Query line of the fuzzer's).
TEST_F(FuzzRegressionTest, BlastStartNumbersNearTheLargestInt) {
  const std::string seg(51, 'V');
  const std::string report =
      "BLASTP 2.0.10\nReference: Altschul\n\nQuery= Q\n         (60 letters)\n\nDatabase: db\n  1 sequences\n\n"
      ">HIT one\n          Length = 60\n\n Score = 50 bits (118), Expect = 1e-10\n"
      " Identities = 51/51 (100%)\n\n"
      "Query: 2147483646 " + seg + " 2147483647\n                  " + seg + "\nSbjct: 2147483000 " + seg + "\n\n"
      "  Database: db\n    Posted date:  Sep 3, 2001\n";
  DataProgram dp;
  ASSERT_EQ(LitBlastForListBox(nullptr, nullptr, dp, dir_.Write("big.bla", report), kReportBlastText), kBlastOk);
  ASSERT_TRUE(dp.hits && dp.hits->size() == 1);
  const AliData& ali = *(*dp.hits)[0]->alignments.at(0);
  EXPECT_EQ(ali.queryStart, INT_MAX - 1);
  EXPECT_EQ(ali.queryEnd, INT_MAX);
  EXPECT_EQ(ali.subjectEnd, 2147483000 + 50);
  const auto viewer = LitUnAlignHsp(nullptr, 1, 1, dp);
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(viewer->queryResidueNumbers.front(), INT_MAX - 1);
  EXPECT_EQ(viewer->queryResidueNumbers.back(), INT_MAX);
  EXPECT_EQ(viewer->subjectResidueNumbers.back(), 2147483050);
}

// TestFichier and the FASTA reader on files no search program writes: each
// gives a documented code (the BLAST reader and the sequence files have their
// own such tests).
TEST_F(FuzzRegressionTest, HostileFilesGiveDocumentedCodes) {
  const std::string real = ReadFile(std::string(VISTRAM_TEST_DATA_DIR) + "/fasta/bioperl_BOSS_DROME.FASTP_v35_04");
  ASSERT_FALSE(real.empty());
  DataProgram original;
  ASSERT_EQ(ReadFasta(real, kReportFastaText, original), kFastaOk);
  ASSERT_TRUE(original.hits);

  EXPECT_EQ(TestFichier(dir_.path() + "/missing"), kReportUnreadable);
  EXPECT_EQ(TestFichier(dir_.path()), kReportUnreadable);  // a folder opens but cannot be read
  EXPECT_EQ(TestFichier(dir_.Write("empty", "")), kReportUnknown);
  // A FIFO is refused at once (it used to block the open for ever).
  const std::string fifo = dir_.path() + "/fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(TestFichier(fifo), kReportUnreadable);
  std::string binary;
  for (int i = 0; i < 70000; ++i) binary.push_back(static_cast<char>((i * 7919 + i / 13) & 0xff));
  EXPECT_EQ(TestFichier(dir_.Write("binary", binary)), kReportUnknown);

  const auto fastaCode = [&](const std::string& bytes) {
    DataProgram dp;
    return ReadFasta(bytes, kReportFastaText, dp);
  };
  EXPECT_EQ(fastaCode(""), kFastaNoQuery);
  EXPECT_NE(fastaCode(binary), kFastaOk);
  // Lines of 100,000 characters: cut into 499-character lines, read as such.
  std::string longLines = real;
  longLines.insert(longLines.find('\n', longLines.find("The best scores")) + 1, std::string(100000, 'M') + "\n");
  longLines.insert(longLines.find(">>") , std::string(100000, '>') + "\n");
  // (The score-table words now lie beyond the 20,000 bytes examined.)
  EXPECT_EQ(TestFichier(dir_.Write("long", longLines)), kReportUnknown);
  const int longCode = fastaCode(longLines);
  EXPECT_TRUE(longCode == kFastaOk || longCode == kFastaFailed) << longCode;
  // A NUL byte ends its line; the report still loads.
  std::string nul = real;
  nul.insert(nul.find("The best scores") + 4, std::string(1, '\0') + "ignored");
  EXPECT_EQ(fastaCode(nul), kFastaOk);
  // Carriage-return-only line ends: every line ends with a blank, the same
  // hits are read.
  std::string cr = real;
  for (char& c : cr)
    if (c == '\n') c = '\r';
  EXPECT_EQ(TestFichier(dir_.Write("cr", cr)), kReportFastaText);
  DataProgram crRead;
  ASSERT_EQ(ReadFasta(cr, kReportFastaText, crRead), kFastaOk);
  ASSERT_TRUE(crRead.hits);
  ASSERT_EQ(crRead.hits->size(), original.hits->size());
  EXPECT_EQ((*crRead.hits)[0]->identifier, (*original.hits)[0]->identifier);
  // Every prefix of the report, ending anywhere (inside an alignment too):
  // a code, and success only when the end marker was read.
  const std::size_t marker = real.find("Scan time");
  for (std::size_t cut = 0; cut < real.size(); cut += 53) {
    const int code = fastaCode(real.substr(0, cut));
    EXPECT_GE(code, kFastaFailed);
    EXPECT_LE(code, kFastaNoBuffers);
    if (marker != std::string::npos && cut < marker) EXPECT_NE(code, kFastaOk) << cut;
  }
}

}  // namespace
