// Inputs that the fuzz targets (fuzz/) found to misbehave, reduced to what
// reproduces them, and the hostile files every reader must load or refuse
// with a code. The misbehaviour of the first ones shows under the sanitizer
// build (scripts/test --sanitize); the codes are checked everywhere.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "results/blast_test_util.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/fasta_parser.h"

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

}  // namespace
