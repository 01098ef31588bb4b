// A saved-results file is a report of its own: written from the records of a
// report, it reads back through the BLAST reader with the same records.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_folder.h"
#include "vistram/results/blast_parser.h"
#include "vistram/results/fasta_parser.h"
#include "vistram/results/report_kind.h"
#include "vistram/results/saver.h"

namespace fs = std::filesystem;

namespace {

// A private folder whose one file is the saved table.
struct TempFile : test_support::TempFolder {
  std::string Path() const { return *this / "saved.vist"; }
};

std::string WithoutLeadingBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

// Saves the working set of `original` (with `selectionOnly`), reads the file
// back into `back`; false (with a test failure) when either step fails.
bool SaveAndReadBack(const DataProgram& original, int selectionOnly, DataProgram& back, const TempFile& file) {
  static const HitList kNone;
  EXPECT_EQ(kSaveOk, PrepareSaveHSPs(file.Path(), original.hitCount, original.hits ? *original.hits : kNone,
                                     original.header.queryName, original.header.queryLengthText,
                                     original.header.databaseText, selectionOnly));
  EXPECT_EQ(5, TestFichier(file.Path()));
  const int result = LitBlastForListBox(nullptr, nullptr, back, file.Path(), 5);
  EXPECT_EQ(kBlastOk, result);
  return result == kBlastOk;
}

void ExpectSameAlignment(const AliData& a, const AliData& b, const std::string& where) {
  SCOPED_TRACE(where);
  EXPECT_EQ(a.statsText, b.statsText);
  EXPECT_EQ(a.queryLine, b.queryLine);
  EXPECT_EQ(a.middleLine, b.middleLine);
  EXPECT_EQ(a.subjectLine, b.subjectLine);
  EXPECT_EQ(a.queryStart, b.queryStart);
  EXPECT_EQ(a.queryEnd, b.queryEnd);
  EXPECT_EQ(a.subjectStart, b.subjectStart);
  EXPECT_EQ(a.subjectEnd, b.subjectEnd);
  EXPECT_EQ(a.gapped, b.gapped);
  const double av[] = {a.score, a.expect, a.identityPercent, a.hcaScore, a.alignmentLength, a.positivePercent,
                       a.pValue, a.initn, a.init1, a.opt, a.zScore};
  const double bv[] = {b.score, b.expect, b.identityPercent, b.hcaScore, b.alignmentLength, b.positivePercent,
                       b.pValue, b.initn, b.init1, b.opt, b.zScore};
  for (int k = 0; k < 11; ++k) EXPECT_EQ(av[k], bv[k]) << "statistic " << k;
}

void ExpectSameHit(const HspData& a, const HspData& b, const std::string& where) {
  SCOPED_TRACE(where);
  EXPECT_EQ(a.identifier, b.identifier);
  // A description's leading blanks are not kept (the reader skips them).
  EXPECT_EQ(WithoutLeadingBlanks(a.description), b.description);
  EXPECT_EQ(a.lengthText, b.lengthText);
  EXPECT_EQ(a.scoreText, b.scoreText);
  EXPECT_EQ(a.expectText, b.expectText);
  EXPECT_EQ(a.url, b.url);
}

// The reports of the BLAST tests.
std::vector<fs::path> Reports() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(fs::path(VISTRAM_TEST_DATA_DIR) / "blast")) {
    if (entry.is_regular_file() && entry.path().extension() != ".md") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

TEST(SavedRoundTripTest, EveryBlastReportReadsBackWithTheSameRecords) {
  int reports = 0;
  int alignments = 0;
  for (const fs::path& report : Reports()) {
    const int kind = TestFichier(report.string());
    if (kind != kReportBlastHtml && kind != kReportBlastText) continue;
    DataProgram original;
    if (LitBlastForListBox(nullptr, nullptr, original, report.string(), kind) != kBlastOk) continue;
    SCOPED_TRACE(report.filename().string());
    ++reports;
    // Gapped BLAST exactly when the first alignment of some hit has gaps
    // (the flag gathered while the records were built on two threads).
    bool firstGapped = false;
    for (const auto& hit : *original.hits)
      firstGapped = firstGapped || (!hit->alignments.empty() && hit->alignments[0]->gapped != 0);
    EXPECT_EQ(original.header.resultType, firstGapped ? kResultBlast2 : kResultBlast);
    TempFile file;
    DataProgram back;
    if (!SaveAndReadBack(original, 0, back, file)) continue;

    EXPECT_EQ(original.header.queryName, back.header.queryName);
    EXPECT_EQ(original.header.queryLength, back.header.queryLength);
    EXPECT_EQ(original.header.queryLengthText, back.header.queryLengthText);
    EXPECT_EQ(original.header.databaseText, back.header.databaseText);
    EXPECT_EQ(original.header.resultType, back.header.resultType);
    // A hit without an alignment (a header the report never followed up)
    // is not saved.
    std::vector<const HspData*> saved;
    for (const auto& hit : *original.hits) {
      if (hit->alignmentCount > 0) saved.push_back(hit.get());
    }
    ASSERT_EQ(saved.size(), back.hitCount);
    EXPECT_EQ(original.alignmentCount, back.alignmentCount);
    for (unsigned i = 0; i < back.hitCount; ++i) {
      const HspData& a = *saved[i];
      const HspData& b = *(*back.hits)[i];
      const std::string where = "hit " + std::to_string(i + 1);
      ExpectSameHit(a, b, where);
      ASSERT_EQ(a.alignmentCount, b.alignmentCount) << where;
      for (int j = 0; j < a.alignmentCount; ++j) {
        const AliData& x = *a.alignments[static_cast<std::size_t>(j)];
        // A record whose lines the reader could not bring to one length
        // (a layout it does not know) cannot be written as blocks.
        if (x.subjectLine.size() != x.queryLine.size()) continue;
        ExpectSameAlignment(x, *b.alignments[static_cast<std::size_t>(j)], where + " alignment " +
                                                                                std::to_string(j + 1));
        ++alignments;
      }
    }
  }
  EXPECT_GE(reports, 6);
  EXPECT_GT(alignments, 100);
}

TEST(SavedRoundTripTest, SelectedAlignmentsReadBackAlone) {
  const fs::path report = fs::path(VISTRAM_TEST_DATA_DIR) / "blast" / "blastplus_text" / "biopython_text_2226_blastp_003.txt";
  DataProgram original;
  ASSERT_EQ(kBlastOk, LitBlastForListBox(nullptr, nullptr, original, report.string(), 5));
  HspData& first = *(*original.hits)[0];
  ASSERT_EQ(2, first.alignmentCount);
  first.selected = {0, 1};
  TempFile file;
  DataProgram back;
  ASSERT_TRUE(SaveAndReadBack(original, 1, back, file));
  ASSERT_EQ(1u, back.hitCount);
  const HspData& hit = *(*back.hits)[0];
  ASSERT_EQ(1, hit.alignmentCount);
  ExpectSameAlignment(*first.alignments[1], *hit.alignments[0], "the second alignment");
  // The hit keeps its own score and expect texts, not those of the alignment saved.
  EXPECT_EQ(first.scoreText, hit.scoreText);
  EXPECT_EQ(first.expectText, hit.expectText);
}

TEST(SavedRoundTripTest, FastaStatisticsAndLinksSurvive) {
  DataProgram original;
  original.header.queryName = "GTM1_HUMAN";
  original.header.queryLengthText = "(218 letters)";
  original.header.databaseText = " swissprot.fa|(12345 residues in 42 sequences)";
  original.hits = std::make_shared<HitList>();
  auto hit = std::make_unique<HspData>();
  hit->identifier = "SP|P09488|GSTM1_HUMAN";
  hit->description = "GLUTATHIONE S-TRANSFERASE MU 1  (218 AA)";
  hit->url = "https://www.uniprot.org/uniprot/P09488?a=1&b=|2|";
  hit->scoreText = "1497";
  hit->expectText = "3.1E-86";
  auto ali = std::make_unique<AliData>();
  ali->statsText =
      "initn: 1497 init1: 1497 opt: 1497 z-score: 1851.2 bits: 350.2 e(): 3.1e-86\n"
      "smith-waterman score: 1497; 100.0% identity (100.0% similar) in 218 aa overlap (1-218:1-218)";
  ali->queryLine = "MPMILGYWDIRGLAHAIRLLLEYTDSSYEEKKYTMGDAPDYDRSQWLNEKFKLGLDFPNLPYLIDGAHKITQSNAILCYIARKHNLCGETEEEKIRVD";
  ali->subjectLine = ali->queryLine;
  ali->middleLine = std::string(ali->queryLine.size(), '|');
  ali->queryStart = 1;
  ali->subjectStart = 1;
  ali->queryEnd = ali->subjectEnd = static_cast<int>(ali->queryLine.size());
  ali->gapped = 1;
  ali->ClearStatistics();
  ali->score = 1497;
  ali->expect = 3.1e-86;
  ali->identityPercent = 100;
  ali->hcaScore = 12.345678901234567;
  ali->alignmentLength = 218;
  ali->initn = 1497;
  ali->init1 = 1497;
  ali->opt = 1497;
  ali->zScore = 1851.2;
  // A second alignment with nothing left after the overlap cut: empty
  // lines and ranges that end before they start.
  auto empty = std::make_unique<AliData>(*ali);
  empty->queryLine.clear();
  empty->subjectLine.clear();
  empty->middleLine.clear();
  empty->queryStart = 7;
  empty->queryEnd = 6;
  empty->subjectStart = 1;
  empty->subjectEnd = 0;
  hit->alignments.push_back(std::move(ali));
  hit->alignments.push_back(std::move(empty));
  hit->alignmentCount = 2;
  hit->selected = {0, 0};
  original.hits->push_back(std::move(hit));
  original.hitCount = 1;
  original.alignmentCount = 2;

  TempFile file;
  DataProgram back;
  ASSERT_TRUE(SaveAndReadBack(original, 0, back, file));
  ASSERT_EQ(1u, back.hitCount);
  const HspData& b = *(*back.hits)[0];
  ExpectSameHit(*(*original.hits)[0], b, "FASTA hit");
  ASSERT_EQ(2, b.alignmentCount);
  ExpectSameAlignment(*(*original.hits)[0]->alignments[0], *b.alignments[0], "FASTA alignment");
  ExpectSameAlignment(*(*original.hits)[0]->alignments[1], *b.alignments[1], "alignment without residues");
}

// FASTA reports saved and read back through the BLAST reader: the statistics
// (initn, init1, opt, z-score and the rest) come back exactly; residues and
// the database text come back in upper case, as the BLAST reader stores them.
TEST(SavedRoundTripTest, EveryFastaReportReadsBackWithItsStatistics) {
  int reports = 0;
  int alignments = 0;
  const fs::path dir = fs::path(VISTRAM_TEST_DATA_DIR) / "fasta";
  if (!fs::is_directory(dir)) GTEST_SKIP() << "no FASTA reports in the test data";
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (entry.is_regular_file() && entry.path().extension() != ".md") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  auto upper = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
  };
  for (const fs::path& report : files) {
    const int kind = TestFichier(report.string());
    if (kind < 6 || kind > 9) continue;
    DataProgram original;
    if (LitFastaForListBox(nullptr, nullptr, original, report.string(), kind) != kFastaOk) continue;
    SCOPED_TRACE(report.filename().string());
    ++reports;
    TempFile file;
    DataProgram back;
    if (!SaveAndReadBack(original, 0, back, file)) continue;
    EXPECT_EQ(original.header.queryName, back.header.queryName);
    EXPECT_EQ(original.header.queryLength, back.header.queryLength);
    // The reader upper-cases the "Database:" line.
    EXPECT_EQ(upper(original.header.databaseText), back.header.databaseText);
    std::vector<const HspData*> saved;
    for (const auto& hit : *original.hits) {
      if (hit->alignmentCount > 0) saved.push_back(hit.get());
    }
    ASSERT_EQ(saved.size(), back.hitCount);
    for (unsigned i = 0; i < back.hitCount; ++i) {
      const HspData& a = *saved[i];
      const HspData& b = *(*back.hits)[i];
      const std::string where = "hit " + std::to_string(i + 1);
      ExpectSameHit(a, b, where);
      ASSERT_EQ(a.alignmentCount, b.alignmentCount) << where;
      for (int j = 0; j < a.alignmentCount; ++j) {
        const AliData& x = *a.alignments[static_cast<std::size_t>(j)];
        if (x.subjectLine.size() != x.queryLine.size()) continue;
        AliData y = *b.alignments[static_cast<std::size_t>(j)];
        EXPECT_EQ(upper(x.queryLine), y.queryLine) << where;
        EXPECT_EQ(upper(x.subjectLine), y.subjectLine) << where;
        y.queryLine = x.queryLine;
        y.subjectLine = x.subjectLine;
        ExpectSameAlignment(x, y, where);
        ++alignments;
      }
    }
  }
  EXPECT_GE(reports, 3);
  EXPECT_GT(alignments, 20);
}
