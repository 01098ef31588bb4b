#include "vistram/results/saver.h"

#include <gtest/gtest.h>

#include <climits>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "support/file_size_limit.h"
#include "support/temp_folder.h"
#include "vistram/base/safe_file.h"

namespace fs = std::filesystem;

namespace {

using test_support::ReadWholeFile;
using TempDir = test_support::TempFolder;

// What `write` puts into a memory stream.
template <typename F>
std::string Capture(F write) {
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* mem = open_memstream(&buffer, &size);
  write(mem);
  std::fclose(mem);
  std::string text(buffer, size);
  free(buffer);
  return text;
}

std::unique_ptr<AliData> MakeAli(std::string stats, std::string query, std::string middle, std::string subject,
                                 int queryStart, int subjectStart) {
  auto ali = std::make_unique<AliData>();
  ali->statsText = std::move(stats);
  ali->queryLine = std::move(query);
  ali->middleLine = std::move(middle);
  ali->subjectLine = std::move(subject);
  ali->queryStart = queryStart;
  ali->subjectStart = subjectStart;
  return ali;
}

std::unique_ptr<HspData> MakeHit(std::string id, std::string description, std::string length) {
  auto hit = std::make_unique<HspData>();
  hit->identifier = std::move(id);
  hit->description = std::move(description);
  hit->lengthText = std::move(length);
  return hit;
}

void AddAli(HspData& hit, std::unique_ptr<AliData> ali, int selected) {
  hit.alignments.push_back(std::move(ali));
  hit.selected.push_back(selected);
  hit.alignmentCount = static_cast<int>(hit.alignments.size());
}

// Everything between the database lines and the tail.
std::string Body(const std::string& file) {
  auto start = file.find("\n\n", file.find("Database: ")) + 2;
  auto end = file.find("\n\nPOSTED DATE: ");
  return file.substr(start, end - start);
}

}  // namespace

TEST(SaverTest, WritesTheDocumentedLayout) {
  TempDir dir;
  HitList hits;
  auto hit = MakeHit("SP|P01234|ABC_HUMAN", "SOME PROTEIN", "120");
  hit->scoreText = "50.1";
  hit->expectText = "1E-05";
  hit->url = "http://www.expasy.org/cgi-bin/niceprot.pl?P01234";
  AddAli(*hit,
         MakeAli("SCORE = 50.1 BITS (118), EXPECT = 1E-05 IDENTITIES = 3/4 (75%), POSITIVES = 4/4 (100%)", "MKV-L",
                 "MK+ L", "MKIAL", 10, 200),
         0);
  hits.push_back(std::move(hit));
  auto path = dir / "out.vist";
  ASSERT_EQ(kSaveOk, PrepareSaveHSPs(path, 1, hits, "QNAME", "(300 letters)",
                                     " NON-REDUNDANT DB|12 sequences; 3,456 total letters", 0));
  const std::string text = ReadWholeFile(path);
  const std::string expectedHead =
      "Vistram - saved data\n\n"
      "Reference: Halver, J. Vistram, a workbench for the results of sequence\n"
      "           database searches: hit lists, pairwise and multiple\n"
      "           alignments, hydrophobic cluster analysis plots and maps of\n"
      "           the similarities found.\n\n\n"
      "Query= QNAME\n      (300 letters)\n\n"
      "Database: NON-REDUNDANT DB\n         12 sequences; 3,456 total letters\n\n"
      ">SP|P01234|ABC_HUMAN SOME PROTEIN\n"
      "           Length = 120\n"
      " Saved hit: 50.1|1E-05|http://www.expasy.org/cgi-bin/niceprot.pl?P01234\n\n"
      " SCORE = 50.1 BITS (118), EXPECT = 1E-05\n"
      " IDENTITIES = 3/4 (75%), POSITIVES = 4/4 (100%)\n\n"
      "Query: 10     MKV-L 13\n"
      "              MK+ L\n"
      "Sbjct: 200    MKIAL 204\n\n";
  ASSERT_EQ(expectedHead, text.substr(0, expectedHead.size()));
  const std::string tail = text.substr(expectedHead.size());
  EXPECT_TRUE(std::regex_match(
      tail, std::regex("\n\nPOSTED DATE: (Sun|Mon|Tue|Wed|Thu|Fri|Sat) [A-Z][a-z]{2} [ 1-3][0-9] "
                       "[0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}\n\n\n")))
      << tail;
  // The file is readable as a new file is (not the 0600 of a temporary file).
  struct stat st {};
  ASSERT_EQ(0, stat(path.c_str(), &st));
  EXPECT_NE(0u, st.st_mode & S_IRGRP);
}

TEST(SaverTest, PostedDateHasTheClassicForm) {
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ("Thu Jan  1 00:00:00 1970", FormatPostedDate(0));
  EXPECT_EQ("Sun Dec  6 20:09:19 2026", FormatPostedDate(1796587759));
}

TEST(SaverTest, BlocksOf60ColumnsWithPositionsThatSkipGaps) {
  // 61 columns, two gaps in the query within the first block and one in the
  // subject in the last column.
  std::string query(61, 'A');
  query[5] = '-';
  query[6] = '-';
  std::string subject(61, 'C');
  subject[60] = '-';
  std::string middle(61, ' ');
  std::ostringstream expected;
  expected << "Query: 1      " << query.substr(0, 60) << " 58\n"
           << "              " << middle.substr(0, 60) << "\n"
           << "Sbjct: 1000   " << subject.substr(0, 60) << " 1059\n\n"
           << "Query: 59     A 59\n"
           << "               \n"
           << "Sbjct: 1060   - 1059\n\n";
  const std::string text = Capture([&](std::FILE* f) {
    SaveAli(f, "SCORE = 1 BITS (1), EXPECT = 1 IDENTITIES = 1/61 (1%)", query, subject, middle, 1, 1000);
  });
  EXPECT_EQ(" SCORE = 1 BITS (1), EXPECT = 1\n IDENTITIES = 1/61 (1%)\n\n" + expected.str(), text);
}

TEST(SaverTest, WideStartPositionsKeepTheMiddleLineUnderTheSequence) {
  std::string text =
      Capture([](std::FILE* f) { SaveAli(f, "SCORE = 1 BITS (1), EXPECT = 1", "MKV", "MRV", "M V", 12345678, 1); });
  auto q = text.find("Query: ");
  auto line1 = text.substr(q, text.find('\n', q) - q);
  auto line2start = text.find('\n', q) + 1;
  auto line2 = text.substr(line2start, text.find('\n', line2start) - line2start);
  EXPECT_EQ(line1.find("MKV"), line2.find("M V"));
  // The lowest start a mutated report can hold, with an end: no overflow
  // (the sanitizer build watches), the start printed as stored.
  text = Capture(
      [](std::FILE* f) { SaveAli(f, "SCORE = 1 BITS (1), EXPECT = 1", "MKV", "MRV", "M V", INT_MIN, INT_MIN, 3, 3); });
  EXPECT_NE(text.find("Query: -2147483648"), std::string::npos) << text;
}

TEST(SaverTest, SelectionOnlyWritesEachHitHeaderOnceAndSkipsUnselectedHits) {
  TempDir dir;
  HitList hits;
  auto first = MakeHit("FIRST", "NOT SELECTED", "10");
  AddAli(*first, MakeAli("SCORE = 1 BITS (1), EXPECT = 1", "AA", "AA", "AA", 1, 1), 0);
  hits.push_back(std::move(first));
  auto second = MakeHit("SECOND", "ONLY THE SECOND ALIGNMENT", "20");
  AddAli(*second, MakeAli("SCORE = 2 BITS (2), EXPECT = 2", "CC", "CC", "CC", 1, 1), 0);
  AddAli(*second, MakeAli("SCORE = 3 BITS (3), EXPECT = 3", "DD", "DD", "DD", 5, 5), 1);
  hits.push_back(std::move(second));

  auto path = dir / "sel.vist";
  ASSERT_EQ(kSaveOk, PrepareSaveHSPs(path, 2, hits, "Q", "(2 letters)", " DB|x", 1));
  EXPECT_EQ(
      ">SECOND ONLY THE SECOND ALIGNMENT\n           Length = 20\n Saved hit: ||\n\n"
      " SCORE = 3 BITS (3), EXPECT = 3\n\n"
      "Query: 5      DD 6\n              DD\nSbjct: 5      DD 6\n\n",
      Body(ReadWholeFile(path)));

  // All alignments when the selection is not asked for; hitCount limits the hits.
  ASSERT_EQ(kSaveOk, PrepareSaveHSPs(path, 1, hits, "Q", "(2 letters)", " DB|x", 0));
  const std::string body = Body(ReadWholeFile(path));
  EXPECT_NE(std::string::npos, body.find(">FIRST "));
  EXPECT_EQ(std::string::npos, body.find(">SECOND"));
}

TEST(SaverTest, LongDescriptionsWrapAt78ColumnsAndJoinBackAsTheyWere) {
  // Single and multiple blanks between words, and a trailing blank.
  std::string description;
  for (int i = 0; i < 40; ++i) description += "WORD" + std::to_string(i) + (i % 7 == 0 ? "   " : " ");
  const std::string text = Capture([&](std::FILE* f) { SaveAliHeader(f, "GI|12345", "  " + description, "99"); });

  std::istringstream lines(text);
  std::string line;
  std::string joined;
  int count = 0;
  while (std::getline(lines, line) && line.find("Length =") == std::string::npos) {
    ++count;
    EXPECT_LE(line.find_last_not_of(' ') + 1, 78u) << line;
    if (count > 1) {
      EXPECT_EQ(0u, line.rfind("            ", 0));
      EXPECT_NE(' ', line[12]);
      // The reader keeps one of the leading blanks at each join.
      line = line.substr(11);
    }
    joined += line;
  }
  EXPECT_GT(count, 3);
  // Leading blanks are not kept; everything else is.
  EXPECT_EQ(">GI|12345 " + description, joined);

  // A continuation line of exactly 78 columns holds; one more wraps.
  const std::string id(70, 'I'), a(30, 'A');
  EXPECT_EQ(Capture([&](std::FILE* f) { SaveAliHeader(f, id, a + " " + std::string(35, 'B'), "1"); }),
            ">" + id + " \n            " + a + " " + std::string(35, 'B') + "\n           Length = 1\n\n");
  EXPECT_EQ(Capture([&](std::FILE* f) { SaveAliHeader(f, id, a + " " + std::string(36, 'B'), "1"); }),
            ">" + id + " \n            " + a + "\n            " + std::string(36, 'B') + "\n           Length = 1\n\n");
}

TEST(SaverTest, FastaStatisticsAreKeptLineByLineBehindAReadableScoreLine) {
  AliData ali;
  ali.statsText =
      "initn: 123 init1: 45 opt: 130 z-score: 150.2 expect() 1.2e-05\n"
      "smith-waterman score: 130; 35.5% identity (60.0% similar) in 100 aa overlap (1-100:5-104)";
  ali.queryLine = ali.subjectLine = "MK";
  ali.middleLine = "||";
  ali.queryStart = 1;
  ali.subjectStart = 5;
  ali.queryEnd = 2;
  ali.subjectEnd = 6;
  ali.ClearStatistics();
  ali.score = 130;
  ali.expect = 1.2e-05;
  ali.zScore = 150.2;
  ali.gapped = 1;
  std::string text = Capture([&](std::FILE* f) { SaveAli(f, ali); });
  EXPECT_EQ(" Score = 130 Expect = 1.2E-05\n"
            " Saved text: initn: 123 init1: 45 opt: 130 z-score: 150.2 expect() 1.2e-05\n"
            " Saved text: smith-waterman score: 130; 35.5% identity (60.0% similar) in 100 aa overlap "
            "(1-100:5-104)\n"
            " Saved statistics: 130 1.2e-05 -1 -1 -1 -1 -1 -1 -1 -1 150.19999999999999 1\n\n"
            "Query: 1      MK 2\n              ||\nSbjct: 5      MK 6\n\n",
            text);
  // "SCORE =" stands within the first nine characters, where the reader looks.
  EXPECT_NE(std::string::npos, text.substr(0, 9).find("Score ="));

  // No opt score and no expect value: "?" keeps the score line readable.
  text = Capture([](std::FILE* f) { SaveAli(f, "", "M", "M", "M", 1, 1); });
  EXPECT_EQ(0u, text.find(" Score = ? Expect = ?\n Saved text: \n\n")) << text;
}

TEST(SaverTest, MixedResultsGetAReadableQueryLength) {
  TempDir dir;
  HitList hits;
  auto path = dir / "mixed.vist";
  ASSERT_EQ(kSaveOk, PrepareSaveHSPs(path, 0, hits, "query", "", "", 0));
  EXPECT_NE(std::string::npos, ReadWholeFile(path).find("Query= query\n      (0 letters)\n\n"));
}

TEST(SaverTest, AFailedSaveKeepsThePreviousFile) {
  TempDir dir;
  auto path = dir / "keep.vist";
  {
    std::ofstream(path) << "previous results\n";
  }
  HitList hits;
  auto hit = MakeHit("BIG", "HIT", "1");
  AddAli(*hit, MakeAli("SCORE = 1 BITS (1), EXPECT = 1", std::string(100000, 'A'), std::string(100000, 'A'),
                       std::string(100000, 'A'), 1, 1),
         1);
  hits.push_back(std::move(hit));

  int result = -1;
  {
    test_support::FileSizeLimit full(4096);  // the disk "fills up" after 4 KiB
    result = PrepareSaveHSPs(path, 1, hits, "Q", "(1 letters)", "DB", 0);
  }
  EXPECT_EQ(kSaveWriteFailed, result);
  EXPECT_EQ("previous results\n", ReadWholeFile(path));
  EXPECT_EQ(1u, dir.EntryCount()) << "a temporary file was left behind";

  // A folder that does not exist: nothing is created.
  EXPECT_EQ(kSaveCannotCreate, PrepareSaveHSPs(dir / "no/such/folder.vist", 1, hits, "Q", "", "", 0));
}

