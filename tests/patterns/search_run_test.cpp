#include "vistram/patterns/search_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <thread>

#include "patterns_test_support.h"

namespace {

TEST(SearchRun, ItemTexts) {
  const std::string row = std::string(11, 'Q') + "KDEL" + "QQ" + "GG" + std::string(200, 'A');
  EXPECT_EQ(MatchItemText(1, {{11, 14}}, row), "   1 : -- 12<KDEL>15 --");
  EXPECT_EQ(MatchItemText(12345, {{11, 14}, {17, 18}}, row), "12345 : -- 12<KDEL>15 ---- 18<GG>19 --");
  // A part of 60 residues shows both of its ends.
  const std::string item = MatchItemText(2, {{0, 59}}, std::string(30, 'B') + std::string(30, 'E'));
  EXPECT_EQ(item, "   2 : -- 1<" + std::string(23, 'B') + "..." + std::string(23, 'E') + ">60 --");
  // Many parts: the text stops at 499 characters.
  PatternMatch many;
  for (unsigned i = 0; i < 40; ++i) many.push_back({i * 5, i * 5 + 3});
  EXPECT_EQ(MatchItemText(1, many, row).size(), 499u);
}

std::string Capture(const std::function<void(std::FILE*, std::FILE*)>& f, std::string& errors) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  f(out, err);
  auto read = [](std::FILE* file) {
    std::rewind(file);
    std::string s;
    for (int c; (c = std::fgetc(file)) != EOF;) s += static_cast<char>(c);
    std::fclose(file);
    return s;
  };
  errors = read(err);
  return read(out);
}

TEST(SearchRun, BatchLinesInTreeOrder) {
  ResidueClassTable table;
  table.expansion['B'] = "(DN)";
  const std::vector<PatternRow> rows = {
      {"first_row_with_a_name_longer_than_forty_nine_chars_cut", "QKDELQQKNELQ"},
      {"no_hit", "AAAAAAA"},
      {"gapped", "KD.ELQKDEL.QKB"},
  };
  const std::vector<std::string> patterns = {"K(DB)EL", "", "KB{3}L", "L"};
  std::string errors;
  const std::string out = Capture(
      [&](std::FILE* o, std::FILE* e) { EXPECT_FALSE(WriteFindPatternLines(rows, patterns, table, o, e)); }, errors);
  const std::string name = "first_row_with_a_name_longer_than_forty_nine_char";
  EXPECT_EQ(out,
            name + "\tK(DB)EL\t   1 : -- 2<KDEL>5 --\n" +
            name + "\tK(DB)EL\t   2 : -- 8<KNEL>11 --\n" +
            name + "\tKB{3}L\t   1 : -- 2<KD>3 ---- 5<L>5 --\n" +
            name + "\tKB{3}L\t   2 : -- 8<KN>9 ---- 11<L>11 --\n" +
            name + "\tL\t   1 : -- 5<L>5 --\n" +
            name + "\tL\t   2 : -- 11<L>11 --\n" +
            "gapped\tK(DB)EL\t   1 : -- 7<KDEL>10 --\n"
            "gapped\tKB{3}L\t   1 : -- 1<KD>2 ---- 5<L>5 --\n"
            "gapped\tKB{3}L\t   2 : -- 7<KD>8 ---- 10<L>10 --\n"
            "gapped\tL\t   1 : -- 5<L>5 --\n"
            "gapped\tL\t   2 : -- 10<L>10 --\n");
  // The empty pattern is reported once, not once per row.
  EXPECT_EQ(errors, "pattern 2: Invalid pattern (syntax error).\n");
}

}  // namespace

namespace {

std::vector<PairOutcome> TakeAll(BackgroundSearch& search) {
  std::vector<PairOutcome> all;
  while (search.Take(all)) std::this_thread::yield();
  return all;
}

TEST(BackgroundSearch, OutcomesInPairOrder) {
  struct Case {
    bool table;
    std::vector<std::string> patterns;
    std::string outcomes;  // "row.pattern:code" per outcome taken
  };
  const std::vector<Case> cases = {
      {true, {"KK", "W", "A"}, "0.0:1 0.2:1 1.2:1 2.0:1"},
      {true, {"", "KK"}, "0.0:0 0.1:1 1.0:0 2.0:0 2.1:1"},  // an empty pattern fails in every row
      {false, {"KK", ""}, "0.0:0 0.1:0 1.0:0 1.1:0 2.0:0 2.1:0"},
  };
  for (const Case& c : cases) {
    BackgroundSearch search({{"a", "MKKA"}, {"b", "AAAA"}, {"c", "QKKQ"}}, c.patterns,
                            c.table ? std::make_unique<ResidueClassTable>() : nullptr);
    search.Start();
    std::string got;
    for (const PairOutcome& p : TakeAll(search)) {
      got += (got.empty() ? "" : " ") + std::to_string(p.row) + "." + std::to_string(p.pattern) + ":" +
             std::to_string(p.outcome.code);
    }
    EXPECT_EQ(got, c.outcomes);
    EXPECT_EQ(search.Done(), search.Total());
  }
  BackgroundSearch none({{"a", "MKKA"}}, {"KK"}, nullptr);
  std::vector<PairOutcome> nothing;
  EXPECT_FALSE(none.Take(nothing));  // not started: nothing will come
  none.Start();
  EXPECT_EQ(TakeAll(none).at(0).outcome.message, kMsgNoTable);
}

}  // namespace
