#include "vistram/seqio/sequence_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Appender {
  SequenceText sequence;
  std::size_t capacity = 0;
  std::size_t count = 0;
  bool Add(std::string_view line) { return LitBasesSequ(line, sequence, capacity, count); }
  std::string Text() const { return sequence ? std::string(sequence.get(), count) : std::string(); }
};

TEST(LitBasesSequ, SkipsPositionNumbersAndBlanksAndRaisesCase) {
  Appender a;
  ASSERT_TRUE(a.Add("       1 mkvla agivg"));
  EXPECT_EQ(a.Text(), "MKVLAAGIVG");
  EXPECT_EQ(a.capacity, kMaxSequenceResidues + 1);
  ASSERT_TRUE(a.Add("  11 W*"));
  EXPECT_EQ(a.Text(), "MKVLAAGIVGW*");
  EXPECT_EQ(a.count, 12u);
  // The block is zero-filled: the text is terminated.
  EXPECT_EQ(std::string(a.sequence.get()), "MKVLAAGIVGW*");
}

TEST(LitBasesSequ, RefusesTheWholeLineOnAnInvalidCharacter) {
  const std::string_view bads[] = {"ACD\tEF", "ACD-EF", "ACD.EF", "ACD;EF", "AC>DE", std::string_view("AC\0DE", 5),
                                   "AC\xE9" "DE"};
  for (std::string_view bad : bads) {
    Appender a;
    EXPECT_FALSE(a.Add(bad)) << bad;
  }
}

TEST(LitBasesSequ, StopsAt2500ResiduesWithoutWritingPastTheBlock) {
  Appender a;
  ASSERT_TRUE(a.Add(std::string(2499, 'A')));
  ASSERT_TRUE(a.Add("C"));
  EXPECT_EQ(a.count, 2500u);
  EXPECT_FALSE(a.Add("D"));
  EXPECT_EQ(a.count, 2500u);
  EXPECT_EQ(a.sequence.get()[2500], '\0');
  // A single line far longer than the limit fails the same way.
  Appender b;
  EXPECT_FALSE(b.Add(std::string(100000, 'M')));
  EXPECT_EQ(b.count, 2500u);
}

}  // namespace
