#include "vistram/patterns/search_run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "patterns_test_support.h"

namespace {

TEST(SearchRun, ItemTexts) {
  const std::string row = std::string(11, 'Q') + "KDEL" + "QQ" + "GG" + std::string(200, 'A');
  EXPECT_EQ(MatchItemText(1, {{11, 14}}, row), "   1 : -- 12<KDEL>15 --");
  EXPECT_EQ(MatchItemText(12345, {{11, 14}, {17, 18}}, row), "12345 : -- 12<KDEL>15 ---- 18<GG>19 --");
  // A part of 60 residues shows both its ends; many parts stop at 499 characters.
  EXPECT_EQ(MatchItemText(2, {{0, 59}}, std::string(30, 'B') + std::string(30, 'E')),
            "   2 : -- 1<" + std::string(23, 'B') + "..." + std::string(23, 'E') + ">60 --");
  PatternMatch many;
  for (unsigned i = 0; i < 40; ++i) many.push_back({i * 5, i * 5 + 3});
  EXPECT_EQ(MatchItemText(1, many, row).size(), 499u);
}

TEST(SearchRun, BatchLinesInTreeOrder) {
  ResidueClassTable table;
  table.expansion['B'] = "(DN)";
  std::FILE *out = std::tmpfile(), *err = std::tmpfile();
  EXPECT_FALSE(WriteFindPatternLines({{"first_row_with_a_name_longer_than_forty_nine_chars_cut", "QKDELQQKNELQ"},
                                      {"no_hit", "AAAAAAA"}, {"gapped", "KD.ELQKDEL.QKB"}},
                                     {"K(DB)EL", "", "KB{3}L", "L"}, table, out, err));
  auto read = [](std::FILE* file) {
    std::string s;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;) s += static_cast<char>(c);
    return std::fclose(file), s;
  };
  EXPECT_EQ(read(out), test_support::ReadWholeFile(PatternsData("find_pattern_lines.expected")));
  EXPECT_EQ(read(err), "pattern 2: Invalid pattern (syntax error).\n");  // once, not once per row
}

TEST(BackgroundSearch, OutcomesInPairOrder) {
  // {with a table, patterns, "row.pattern:code" of each outcome taken}
  for (const auto& [withTable, patterns, outcomes] : std::vector<std::tuple<bool, std::vector<std::string>, std::string>>{
           {true, {"KK", "W", "A"}, "0.0:1 0.2:1 1.2:1 2.0:1"},
           {true, {"", "KK"}, "0.0:0 0.1:1 1.0:0 2.0:0 2.1:1"},  // an empty pattern fails in every row
           {false, {"KK", ""}, "0.0:0 0.1:0 1.0:0 1.1:0 2.0:0 2.1:0"}}) {
    BackgroundSearch search({{"a", "MKKA"}, {"b", "AAAA"}, {"c", "QKKQ"}}, patterns,
                            withTable ? std::make_unique<ResidueClassTable>() : nullptr);
    std::vector<PairOutcome> all;
    EXPECT_FALSE(search.Take(all));  // not started: nothing will come
    search.Start();
    while (search.Take(all)) std::this_thread::yield();
    std::string got;
    for (const PairOutcome& p : all)
      got += (got.empty() ? "" : " ") + std::to_string(p.row) + "." + std::to_string(p.pattern) + ":" + std::to_string(p.outcome.code);
    EXPECT_TRUE(got == outcomes && search.Done() == search.Total()) << got;
    if (!withTable) EXPECT_EQ(all.at(0).outcome.message, kMsgNoTable);
  }
}

}  // namespace
