// The text of single BLAST report lines, as the reader's rules cut it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "vistram/results/blast_reader.h"

using namespace blast_reader;

namespace {

TEST(BlastLineRules, LengthsNamesAndStatistics) {
  // Query lengths: thousands separators are skipped only between digits.
  const struct {
    const char* line;
    int length;
  } lengths[] = {{"(1,937 LETTERS)", 1937}, {"(19,337 LETTERS)", 19337}, {"(90 LETTERS)", 90},
                 {"(483 LETTERS; RECORD 9)", 483}, {"(1, LETTERS)", 1}, {"NONE", 0}};
  for (const auto& c : lengths) EXPECT_EQ(IntegerAfterLastParen(c.line), c.length) << c.line;

  // The query name: in HTML the "</B>" after "Query=" is skipped, not four
  // characters of a page without it.
  EXPECT_EQ(QueryName("<B>QUERY=</B> GTM1_HUMAN GLUTATHIONE", true), "GTM1_HUMAN");
  EXPECT_EQ(QueryName("QUERY= GTM1_HUMAN GLUTATHIONE", true), "GTM1_HUMAN");
  EXPECT_EQ(QueryName("QUERY= GTM1_HUMAN", false), "GTM1_HUMAN");

  // The web download's statistics in the classic form, without the trailing comma.
  EXPECT_EQ(ClassicStats("SCORE:161 BITS(408), EXPECT:3E-48,", 34), "SCORE = 161 BITS (408), EXPECT = 3E-48");
}

TEST(BlastLineRules, BlockLines) {
  const struct {
    const char* line;
    int start, printedEnd;
    const char* segment;
    bool rangeOnly;
  } cases[] = {
      {"Query  1   MKVLAA-GIV  9", 1, 9, "MKVLAA-GIV", false},
      {"Sbjct: 159 - 380", 159, 380, "", true},
      {"Query: 1 - 0", 1, 0, "", true},  // an empty range stays one
      {"Query: 5 - 9 more", 5, 9, "-", false},
      {"Query: 0 ACD", 0, 0, "ACD", false},
      {"Query: x", 0, 0, "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const BlockLine b = ParseBlockLine(c.line, std::strlen(c.line));
    EXPECT_EQ(b.start, c.start);
    EXPECT_EQ(b.printedEnd, c.printedEnd);
    EXPECT_EQ(std::string(b.segment == nullptr ? "" : b.segment, b.segmentLength), c.segment);
    EXPECT_EQ(b.rangeOnly, c.rangeOnly);
  }
}

}  // namespace
