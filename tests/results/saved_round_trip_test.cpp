// A saved-results file reads back through the BLAST reader with the records it was written from.
#include <algorithm>
#include <filesystem>

#include "results/blast_test_util.h"
#include "vistram/results/fasta_parser.h"
#include "vistram/results/report_kind.h"
#include "vistram/results/saver.h"

namespace fs = std::filesystem;
using namespace blasttest;

namespace {

bool SaveAndReadBack(const DataProgram& original, int selectionOnly, DataProgram& back) {
  TempDir dir;
  const std::string path = dir / "saved.vist";
  EXPECT_EQ(kSaveOk, PrepareSaveHSPs(path, original.hitCount, *original.hits, original.header.queryName,
                                     original.header.queryLengthText, original.header.databaseText, selectionOnly));
  EXPECT_EQ(kReportBlastText, TestFichier(path));
  const int result = LitBlastForListBox(nullptr, nullptr, back, path, kReportBlastText);
  EXPECT_EQ(kBlastOk, result);
  return result == kBlastOk;
}

// The residues come back upper-cased when `upper`, as the BLAST reader stores them.
void ExpectSameAlignment(const AliData& a, const AliData& b, bool upper = false) {
  const auto lines = [upper](const AliData& x) {
    return std::make_tuple(upper ? Upper(x.queryLine) : x.queryLine, x.middleLine,
                           upper ? Upper(x.subjectLine) : x.subjectLine);
  };
  const auto rest = [](const AliData& x) {
    return std::tie(x.statsText, x.queryStart, x.queryEnd, x.subjectStart, x.subjectEnd, x.gapped, x.score, x.expect,
                    x.identityPercent, x.hcaScore, x.alignmentLength, x.positivePercent, x.pValue, x.initn, x.init1,
                    x.opt, x.zScore);
  };
  EXPECT_EQ(lines(a), lines(b));
  EXPECT_EQ(rest(a), rest(b));
}

// Leading blanks of a description are not kept (the reader skips them).
void ExpectSameHit(const HspData& a, const HspData& b) {
  const std::string d = a.description.substr(std::min(a.description.size(), a.description.find_first_not_of(' ')));
  EXPECT_EQ(std::tie(a.identifier, d, a.lengthText, a.scoreText, a.expectText, a.url),
            std::tie(b.identifier, b.description, b.lengthText, b.scoreText, b.expectText, b.url));
}

// Every report of `folder` that its reader loads; counts the reports and alignments compared.
void RoundTripEveryReport(const std::string& folder, bool fasta, int& reports, int& alignments) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(fs::path(VISTRAM_TEST_DATA_DIR) / folder))
    if (entry.is_regular_file() && entry.path().extension() != ".md") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const fs::path& report : files) {
    const int kind = TestFichier(report.string());
    DataProgram original, back;
    if (fasta ? (kind < kReportFastaHtml || kind > kReportEbiFastaText ||
                 LitFastaForListBox(nullptr, nullptr, original, report.string(), kind) != kFastaOk)
              : ((kind != kReportBlastHtml && kind != kReportBlastText) ||
                 LitBlastForListBox(nullptr, nullptr, original, report.string(), kind) != kBlastOk))
      continue;
    SCOPED_TRACE(report.filename().string());
    ++reports;
    // Gapped BLAST exactly when the first alignment of some hit has gaps.
    bool firstGapped = false;
    for (const auto& hit : *original.hits)
      firstGapped = firstGapped || (!hit->alignments.empty() && hit->alignments[0]->gapped != 0);
    if (!fasta) EXPECT_EQ(original.header.resultType, firstGapped ? kResultBlast2 : kResultBlast);
    if (!SaveAndReadBack(original, 0, back)) continue;
    EXPECT_EQ(std::tie(original.header.queryName, original.header.queryLength),
              std::tie(back.header.queryName, back.header.queryLength));
    EXPECT_EQ(fasta ? Upper(original.header.databaseText) : original.header.databaseText, back.header.databaseText);
    if (!fasta) {
      EXPECT_EQ(original.header.queryLengthText, back.header.queryLengthText);
      EXPECT_EQ(original.header.resultType, back.header.resultType);
      EXPECT_EQ(original.alignmentCount, back.alignmentCount);
    }
    std::vector<const HspData*> saved;  // a hit without an alignment is not saved
    for (const auto& hit : *original.hits)
      if (hit->alignmentCount > 0) saved.push_back(hit.get());
    ASSERT_EQ(saved.size(), back.hitCount);
    for (unsigned i = 0; i < back.hitCount; ++i) {
      SCOPED_TRACE("hit " + std::to_string(i + 1));
      const HspData& a = *saved[i];
      const HspData& b = *(*back.hits)[i];
      ExpectSameHit(a, b);
      ASSERT_EQ(a.alignmentCount, b.alignmentCount);
      for (std::size_t j = 0; j < a.alignments.size(); ++j) {
        // Lines the reader could not bring to one length cannot be written as blocks.
        if (a.alignments[j]->subjectLine.size() != a.alignments[j]->queryLine.size()) continue;
        ExpectSameAlignment(*a.alignments[j], *b.alignments[j], fasta);
        ++alignments;
      }
    }
  }
}

TEST(SavedRoundTripTest, EveryBlastAndFastaReportReadsBackWithTheSameRecords) {
  int reports[2] = {}, alignments[2] = {};
  RoundTripEveryReport("blast", false, reports[0], alignments[0]);
  RoundTripEveryReport("fasta", true, reports[1], alignments[1]);
  EXPECT_TRUE(reports[0] >= 6 && alignments[0] > 100 && reports[1] >= 3 && alignments[1] > 20);
}

// A link with '|' and '&', a score of full precision, and an alignment with
// nothing left after the overlap cut (empty lines, ranges ending before they start).
TEST(SavedRoundTripTest, LinksPreciseScoresAndEmptyAlignmentsSurvive) {
  DataProgram original, back;
  ASSERT_EQ(LitFastaForListBox(nullptr, nullptr, original,
                               std::string(VISTRAM_TEST_DATA_DIR) + "/fasta/bioperl_issue255_ssearch.fasta", 7),
            kFastaOk);
  HspData& hit = *(*original.hits)[0];
  hit.url = "https://www.uniprot.org/uniprot/P09488?a=1&b=|2|";
  hit.alignments[0]->hcaScore = 12.345678901234567;
  hit.alignments.push_back(std::make_unique<AliData>(*hit.alignments[1]));
  AliData& empty = *hit.alignments.back();
  empty.queryLine = empty.subjectLine = empty.middleLine = "";
  std::tie(empty.queryStart, empty.queryEnd, empty.subjectStart, empty.subjectEnd) = std::make_tuple(7, 6, 1, 0);
  hit.alignmentCount = 4;
  hit.selected.push_back(0);
  ASSERT_TRUE(SaveAndReadBack(original, 0, back));
  ASSERT_EQ(1u, back.hitCount);
  const HspData& b = *(*back.hits)[0];
  ExpectSameHit(hit, b);
  ASSERT_EQ(4, b.alignmentCount);
  for (int k = 0; k < 4; ++k) ExpectSameAlignment(*hit.alignments[k], *b.alignments[k], true);
}

}  // namespace
