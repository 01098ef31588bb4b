#include "vistram/results/saver.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <fstream>
#include <regex>
#include <sstream>

#include "support/file_size_limit.h"
#include "support/temp_folder.h"

namespace {

using test_support::ReadWholeFile;

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

// A hit whose alignments are (stats, query, middle, subject, starts, selected).
std::unique_ptr<HspData> MakeHit(std::string id, std::string description, std::string length,
                                 std::vector<std::tuple<std::string, std::string, int, int>> alignments) {
  auto hit = std::make_unique<HspData>();
  hit->identifier = std::move(id);
  hit->description = std::move(description);
  hit->lengthText = std::move(length);
  for (const auto& [stats, line, start, selected] : alignments) {
    hit->alignments.push_back(std::make_unique<AliData>());
    AliData& a = *hit->alignments.back();
    a.statsText = stats;
    a.queryLine = a.middleLine = a.subjectLine = line;
    a.queryStart = a.subjectStart = start;
    hit->selected.push_back(selected);
  }
  hit->alignmentCount = static_cast<int>(hit->alignments.size());
  return hit;
}

// Everything between the database lines and the tail.
std::string Body(const std::string& file) {
  const auto start = file.find("\n\n", file.find("Database: ")) + 2;
  return file.substr(start, file.find("\n\nPOSTED DATE: ") - start);
}

TEST(SaverTest, WritesTheDocumentedLayout) {
  test_support::TempFolder dir;
  HitList hits;
  hits.push_back(
      MakeHit("SP|P01234|ABC_HUMAN", "SOME PROTEIN", "120",
              {{"SCORE = 50.1 BITS (118), EXPECT = 1E-05 IDENTITIES = 3/4 (75%), POSITIVES = 4/4 (100%)", "", 10, 0}}));
  AliData& a = *hits[0]->alignments[0];
  std::tie(a.queryLine, a.middleLine, a.subjectLine, a.subjectStart) = std::make_tuple("MKV-L", "MK+ L", "MKIAL", 200);
  std::tie(hits[0]->scoreText, hits[0]->expectText, hits[0]->url) =
      std::make_tuple("50.1", "1E-05", "http://www.expasy.org/cgi-bin/niceprot.pl?P01234");
  const std::string path = dir / "out.vist";
  ASSERT_EQ(kSaveOk, PrepareSaveHSPs(path, 1, hits, "QNAME", "(300 letters)",
                                     " NON-REDUNDANT DB|12 sequences; 3,456 total letters", 0));
  const std::string text = ReadWholeFile(path);
  const std::string head = ReadWholeFile(std::string(VISTRAM_TEST_DATA_DIR) + "/results/saved_head.txt");
  ASSERT_EQ(head, text.substr(0, head.size()));
  EXPECT_TRUE(std::regex_match(text.substr(head.size()),
                               std::regex("\n\nPOSTED DATE: (Sun|Mon|Tue|Wed|Thu|Fri|Sat) [A-Z][a-z]{2} [ 1-3][0-9] "
                                          "[0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}\n\n\n")))
      << text.substr(head.size());
  struct stat st {};  // readable as a new file is, not 0600 as a temporary file
  ASSERT_EQ(0, stat(path.c_str(), &st));
  EXPECT_NE(0u, st.st_mode & S_IRGRP);

  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ("Thu Jan  1 00:00:00 1970", FormatPostedDate(0));
  EXPECT_EQ("Sun Dec  6 20:09:19 2026", FormatPostedDate(1796587759));

  // Without a query length (mixed results) the length line stays readable.
  ASSERT_EQ(kSaveOk, PrepareSaveHSPs(path, 0, HitList(), "query", "", "", 0));
  EXPECT_NE(std::string::npos, ReadWholeFile(path).find("Query= query\n      (0 letters)\n\n"));
}

TEST(SaverTest, BlocksOf60ColumnsWithPositionsThatSkipGaps) {
  // Two gaps in the query's first block, a lower-case 'z' (a letter) opening the second
  // block and a subject gap in the last column.
  std::string query(61, 'A'), subject(61, 'C'), middle(61, ' ');
  query[5] = query[6] = '-';
  query[60] = 'z';
  subject[60] = '-';
  const std::string expected =
      " SCORE = 1 BITS (1), EXPECT = 1\n IDENTITIES = 1/61 (1%)\n\n"
      "Query: 1      " +
      query.substr(0, 60) + " 58\n              " + middle.substr(0, 60) + "\nSbjct: 1000   " + subject.substr(0, 60) +
      " 1059\n\n"
      "Query: 59     z 59\n               \nSbjct: 1060   - 1059\n\n";
  EXPECT_EQ(expected, Capture([&](std::FILE* f) {
              SaveAli(f, "SCORE = 1 BITS (1), EXPECT = 1 IDENTITIES = 1/61 (1%)", query, subject, middle, 1, 1000);
            }));

  // A wide start keeps the middle line under the sequence.
  std::string text =
      Capture([](std::FILE* f) { SaveAli(f, "SCORE = 1 BITS (1), EXPECT = 1", "MKV", "MRV", "M V", 12345678, 1); });
  std::istringstream lines(text.substr(text.find("Query: ")));
  std::string q, m;
  std::getline(lines, q);
  std::getline(lines, m);
  EXPECT_EQ(q.find("MKV"), m.find("M V"));
  // The lowest start a mutated report can hold: no overflow, the start printed as stored.
  text = Capture(
      [](std::FILE* f) { SaveAli(f, "SCORE = 1 BITS (1), EXPECT = 1", "MKV", "MRV", "M V", INT_MIN, INT_MIN, 3, 3); });
  EXPECT_NE(text.find("Query: -2147483648"), std::string::npos) << text;
  // Without an opt score and an expect value "?" keeps the score line readable; FASTA statistics line by line.
  text = Capture([](std::FILE* f) { SaveAli(f, "initn: 1\nsmith-waterman", "M", "M", "M", 1, 1); });
  EXPECT_EQ(0u, text.find(" Score = ? Expect = ?\n Saved text: initn: 1\n Saved text: smith-waterman\n\n")) << text;
}

TEST(SaverTest, SelectionOnlyWritesEachHitHeaderOnceAndSkipsUnselectedHits) {
  test_support::TempFolder dir;
  HitList hits;
  hits.push_back(MakeHit("FIRST", "NOT SELECTED", "10", {{"SCORE = 1 BITS (1), EXPECT = 1", "AA", 1, 0}}));
  hits.push_back(
      MakeHit("SECOND", "ONLY THE SECOND ALIGNMENT", "20",
              {{"SCORE = 2 BITS (2), EXPECT = 2", "CC", 1, 0}, {"SCORE = 3 BITS (3), EXPECT = 3", "DD", 5, 1}}));
  const std::string path = dir / "sel.vist";
  ASSERT_EQ(kSaveOk, PrepareSaveHSPs(path, 2, hits, "Q", "(2 letters)", " DB|x", 1));
  EXPECT_EQ(
      ">SECOND ONLY THE SECOND ALIGNMENT\n           Length = 20\n Saved hit: ||\n\n"
      " SCORE = 3 BITS (3), EXPECT = 3\n\nQuery: 5      DD 6\n              DD\nSbjct: 5      DD 6\n\n",
      Body(ReadWholeFile(path)));
  // All alignments when the selection is not asked for; hitCount limits the hits.
  ASSERT_EQ(kSaveOk, PrepareSaveHSPs(path, 1, hits, "Q", "(2 letters)", " DB|x", 0));
  const std::string body = Body(ReadWholeFile(path));
  EXPECT_NE(std::string::npos, body.find(">FIRST "));
  EXPECT_EQ(std::string::npos, body.find(">SECOND"));
}

// Long descriptions wrap at 78 columns, continued after 12 blanks (the round trip joins them back).
TEST(SaverTest, LongDescriptionsWrapAt78Columns) {
  // A continuation line of exactly 78 columns holds; one more wraps.
  const std::string id(70, 'I'), a(30, 'A');
  EXPECT_EQ(Capture([&](std::FILE* f) { SaveAliHeader(f, id, a + " " + std::string(35, 'B'), "1"); }),
            ">" + id + " \n            " + a + " " + std::string(35, 'B') + "\n           Length = 1\n\n");
  EXPECT_EQ(Capture([&](std::FILE* f) { SaveAliHeader(f, id, a + " " + std::string(36, 'B'), "1"); }),
            ">" + id + " \n            " + a + "\n            " + std::string(36, 'B') + "\n           Length = 1\n\n");
}

TEST(SaverTest, AFailedSaveKeepsThePreviousFile) {
  test_support::TempFolder dir;
  const std::string path = dir.Write("keep.vist", "previous results\n");
  HitList hits;
  hits.push_back(MakeHit("BIG", "HIT", "1", {{"SCORE = 1 BITS (1), EXPECT = 1", std::string(100000, 'A'), 1, 1}}));
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

}  // namespace
