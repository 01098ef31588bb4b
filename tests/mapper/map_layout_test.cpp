// The map's geometry: rounding, positions, ticks, scrolling, hit testing and tips.
#include "vistram/mapper/map_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(MapGeometry, RoundingPositionsTicksAndTips) {
  for (auto [x, r] : {std::pair{2.5, 2}, {2.51, 3}, {2.49, 2}, {-2.5, -2}, {-2.51, -3}, {0.5, 0}, {3.0, 3}})
    EXPECT_EQ(MapRound(x), r) << x;  // halves toward zero
  const MapScale s = MakeMapScale(8 * 10 + 300, 10, 150);  // m 40, D 300, 2 pixels per position
  EXPECT_EQ(std::vector<int>({s.m, s.D, s.X(1), s.X(150)}), std::vector<int>({40, 300, 42, 340}));
  for (auto [x, p] : {std::pair{40, 0}, {41, 1}, {42, 1}, {43, 1}, {44, 2}, {45, 2}, {339, 149}, {340, 150}, {341, 0}, {500, 0}})
    EXPECT_EQ(s.PositionAt(x), p) << x;
  const MapScale dense = MakeMapScale(80 + 560, 10, 532), narrow = MakeMapScale(10, 10, 150);  // where L is drawn, L is read
  const int x = dense.X(532);
  EXPECT_EQ(std::vector<int>({dense.PositionAt(x), dense.PositionAt(x - 1), dense.PositionAt(x + 1)}), std::vector<int>({532, 531, 0}));
  EXPECT_EQ(narrow.D + narrow.PositionAt(45), 0);
  for (const auto& [L, ticks, positions] : {std::tuple{45, 10U, std::vector<int>{1, 10, 20, 30, 40, 45}}, {40, 10U, {1, 10, 20, 30, 40}},
                                            {45, 0U, {1, 45}}, {45, 100U, {1, 45}}, {1, 50U, {1}}, {3, 1U, {1, 2, 3}}})
    EXPECT_EQ(MapTickPositions(L, ticks), positions) << L << "/" << ticks;
  const MapFontMetrics f{8, 16};  // the description tip stands on the bar, moved left at the window's edge
  for (auto [bar, tip] : {std::pair{MapRect{300, 200, 350, 213}, MapRect{300, 168, 700, 200}}, {{500, 200, 550, 213}, {398, 168, 798, 200}},
                          {{400, 200, 550, 213}, {400, 168, 800, 200}}})
    EXPECT_EQ(MapDescriptionTip(bar, 800, f), tip) << bar.left;
  EXPECT_EQ(MapPositionTip(400, 96, f), (MapRect{336, 80, 464, 96}));
}

StatData Entries(std::uint32_t n, std::uint32_t first = 0) {
  StatData stat;
  stat.L = 100, stat.n = n, stat.first = first;
  for (std::uint32_t i = 0; i < n; ++i) {
    StatEntry& e = *stat.entries.emplace_back(std::make_unique<StatEntry>());
    e.hitNumber = i + 1, e.queryStart = 1 + static_cast<int>(i), e.queryEnd = 10 + static_cast<int>(i);
  }
  return stat;
}

TEST(MapScroll, PageSizeRangeAndRequests) {
  StatData few = Entries(5, 3), many = Entries(100, 200);
  EXPECT_FALSE(ReajusteStatGraphScroll(few, 160, 16).enabled);  // Q = 10 > 5 + 2
  EXPECT_EQ(few.first + few.pageSize, 0U);
  const MapScrollBar bar = ReajusteStatGraphScroll(many, 160, 16);  // Q = round(161/16) = 10
  ASSERT_TRUE(bar.enabled);
  EXPECT_EQ(std::vector<std::uint32_t>({many.pageSize, bar.maximum, many.first}), std::vector<std::uint32_t>({10, 92, 92}));
  using R = MapScrollRequest;
  for (const auto& [from, request, to] : {std::tuple{0U, R::LineUp, 0U}, {5U, R::LineUp, 4U}, {92U, R::LineDown, 92U}, {5U, R::LineDown, 6U},
                                          {5U, R::PageUp, 0U}, {15U, R::PageUp, 5U}, {85U, R::PageDown, 92U}, {5U, R::PageDown, 15U},
                                          {50U, R::Top, 0U}, {5U, R::Bottom, 92U}}) {
    many.first = from;
    EXPECT_EQ(MapScrolledFirst(many, bar, request), to) << from << " " << static_cast<int>(request);
  }
  EXPECT_EQ(std::make_pair(MapScrolledFirst(many, bar, R::Thumb, 1000), MapScrolledFirst(many, bar, R::Thumb, 17)), std::make_pair(92U, 17U));
  StatData edge = Entries(9), fits = Entries(8);  // one entry more than the page allows turns the bar on
  EXPECT_TRUE(ReajusteStatGraphScroll(edge, 160, 16).enabled && !ReajusteStatGraphScroll(fits, 160, 16).enabled);
}

TEST(MapHitTest, BarUnderThePointAndHistogramColumns) {
  StatData stat = Entries(20, 4);
  const MapScale s = MakeMapScale(480, 10, 100);  // m 40, D 400: 4 pixels per position
  MapRect bar;
  EXPECT_EQ(WhichSeqClicked(stat, s, 16, 300, 70, 20, &bar), 5);  // row 1 shows entry 5: query 6..15, corners included
  EXPECT_EQ(bar, (MapRect{64, 18, 100, 31}));
  EXPECT_EQ(std::make_pair(WhichSeqClicked(stat, s, 16, 300, 64, 18, nullptr), WhichSeqClicked(stat, s, 16, 300, 100, 31, nullptr)), std::make_pair(5, 5));
  // Left of the bar, between rows, past the last entry, below the pane, no font yet, above the pane.
  for (auto [lh, height, x, y] : {std::tuple{16, 300, 63, 20}, {16, 300, 70, 17}, {16, 300, 70, 16 * 16 + 5}, {16, 40, 70, 50},
                                  {0, 300, 70, 20}, {16, 300, 70, -14}})
    EXPECT_EQ(WhichSeqClicked(stat, s, lh, height, x, y, nullptr), -1) << x << "," << y;
  for (auto [coverage, max] : {std::pair{std::vector<std::int32_t>{0, 2, 4, 1}, 4}, {{0, 0}, 1}})  // never 0
    EXPECT_EQ((stat.coverage = coverage, MapMaxCoverage(stat)), max);
  EXPECT_EQ(MapHistogramColumn(s, 10, 2, 4, 64, 16), (MapRect{78, 32, 82, 64}));
  EXPECT_TRUE(MapHistogramColumn(s, 10, 0, 4, 64, 16).Height() == 0 && MapHistogramColumn(s, 10, 4, 4, 64, 16).top == 0);
}

}  // namespace
