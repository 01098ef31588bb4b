// The map's geometry: rounding, positions, ticks, scrolling, hit testing and tips.
#include "vistram/mapper/map_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(MapGeometry, RoundingHalvesTowardZero) {
  const std::pair<double, int> cases[] = {{2.5, 2}, {2.51, 3}, {2.49, 2}, {-2.5, -2}, {-2.51, -3}, {0.5, 0}, {3.0, 3}};
  for (auto [x, r] : cases) EXPECT_EQ(MapRound(x), r) << x;
}

TEST(MapGeometry, PositionsAndTheirInverse) {
  const MapScale s = MakeMapScale(8 * 10 + 300, 10, 150);  // m 40, D 300, 2 pixels per position
  EXPECT_EQ(s.m, 40);
  EXPECT_EQ(s.D, 300);
  EXPECT_EQ(s.X(1), 42);
  EXPECT_EQ(s.X(150), 340);
  const std::pair<int, int> under[] = {{40, 0}, {41, 1}, {42, 1}, {44, 2}, {45, 2}, {339, 149}, {340, 150}, {341, 0}, {500, 0}};
  for (auto [x, p] : under) EXPECT_EQ(s.PositionAt(x), p) << x;
  // Half a position rounds toward zero: x = 43 is 1.5 positions.
  EXPECT_EQ(s.PositionAt(43), 1);
  // Where L is drawn, L is read, even below two pixels per position.
  const MapScale dense = MakeMapScale(80 + 560, 10, 532);
  EXPECT_EQ(dense.PositionAt(dense.X(532)), 532);
  EXPECT_EQ(dense.PositionAt(dense.X(532) - 1), 531);
  EXPECT_EQ(dense.PositionAt(dense.X(532) + 1), 0);
  const MapScale narrow = MakeMapScale(10, 10, 150);
  EXPECT_EQ(narrow.D, 0);
  EXPECT_EQ(narrow.PositionAt(45), 0);
}

TEST(MapGeometry, TickPositions) {
  const struct {
    int L;
    unsigned ticks;
    std::vector<int> positions;
  } cases[] = {
      {45, 10, {1, 10, 20, 30, 40, 45}},
      {40, 10, {1, 10, 20, 30, 40}},
      {45, 0, {1, 45}},
      {45, 100, {1, 45}},
      {1, 50, {1}},
      {3, 1, {1, 2, 3}},
  };
  for (const auto& c : cases) EXPECT_EQ(MapTickPositions(c.L, c.ticks), c.positions) << c.L << "/" << c.ticks;
}

TEST(MapGeometry, Tips) {
  const MapFontMetrics f{8, 16};
  // The description tip stands on the bar, moved left at the window's edge.
  EXPECT_EQ(MapDescriptionTip({300, 200, 350, 213}, 800, f), (MapRect{300, 168, 700, 200}));
  EXPECT_EQ(MapDescriptionTip({500, 200, 550, 213}, 800, f), (MapRect{398, 168, 798, 200}));
  EXPECT_EQ(MapDescriptionTip({400, 200, 550, 213}, 800, f), (MapRect{400, 168, 800, 200}));  // just fits
  EXPECT_EQ(MapPositionTip(400, 96, f), (MapRect{336, 80, 464, 96}));
}

StatData Entries(std::uint32_t n, int L) {
  StatData stat;
  stat.L = L;
  stat.n = n;
  for (std::uint32_t i = 0; i < n; ++i) {
    auto e = std::make_unique<StatEntry>();
    e->hitNumber = i + 1;
    e->queryStart = 1 + static_cast<int>(i);
    e->queryEnd = 10 + static_cast<int>(i);
    stat.entries.push_back(std::move(e));
  }
  return stat;
}

TEST(MapScroll, PageSizeRangeAndRequests) {
  StatData few = Entries(5, 100);
  few.first = 3;
  const MapScrollBar none = ReajusteStatGraphScroll(few, 160, 16);  // Q = 10 > 5 + 2
  EXPECT_FALSE(none.enabled);
  EXPECT_EQ(few.first, 0U);
  EXPECT_EQ(few.pageSize, 0U);

  StatData many = Entries(100, 100);
  many.first = 200;
  MapScrollBar bar = ReajusteStatGraphScroll(many, 160, 16);  // Q = round(161/16) = 10
  ASSERT_TRUE(bar.enabled);
  EXPECT_EQ(many.pageSize, 10U);
  EXPECT_EQ(bar.maximum, 92U);
  EXPECT_EQ(many.first, 92U);
  const struct {
    std::uint32_t from;
    MapScrollRequest request;
    std::uint32_t to;
  } cases[] = {
      {0, MapScrollRequest::LineUp, 0},      {5, MapScrollRequest::LineUp, 4},    {92, MapScrollRequest::LineDown, 92},
      {5, MapScrollRequest::LineDown, 6},    {5, MapScrollRequest::PageUp, 0},    {15, MapScrollRequest::PageUp, 5},
      {85, MapScrollRequest::PageDown, 92},  {5, MapScrollRequest::PageDown, 15}, {50, MapScrollRequest::Top, 0},
      {5, MapScrollRequest::Bottom, 92},
  };
  for (const auto& c : cases) {
    many.first = c.from;
    EXPECT_EQ(MapScrolledFirst(many, bar, c.request), c.to) << c.from << " " << static_cast<int>(c.request);
  }
  EXPECT_EQ(MapScrolledFirst(many, bar, MapScrollRequest::Thumb, 1000), 92U);
  EXPECT_EQ(MapScrolledFirst(many, bar, MapScrollRequest::Thumb, 17), 17U);
  // One entry more than the page allows turns the bar on.
  StatData edge = Entries(9, 100);
  EXPECT_TRUE(ReajusteStatGraphScroll(edge, 160, 16).enabled);
  StatData fits = Entries(8, 100);
  EXPECT_FALSE(ReajusteStatGraphScroll(fits, 160, 16).enabled);
}

TEST(MapHitTest, BarUnderThePointAmongTheVisibleRows) {
  StatData stat = Entries(20, 100);
  stat.first = 4;
  const MapScale s = MakeMapScale(480, 10, 100);  // m 40, D 400: 4 pixels per position
  MapRect bar;
  // Row 1 shows entry 5: query 6..15, x 64..100, y 18..31.
  EXPECT_EQ(WhichSeqClicked(stat, s, 16, 300, 70, 20, &bar), 5);
  EXPECT_EQ(bar, (MapRect{64, 18, 100, 31}));
  EXPECT_EQ(WhichSeqClicked(stat, s, 16, 300, 64, 18, nullptr), 5);
  EXPECT_EQ(WhichSeqClicked(stat, s, 16, 300, 100, 31, nullptr), 5);
  EXPECT_EQ(WhichSeqClicked(stat, s, 16, 300, 63, 20, nullptr), -1);   // left of the bar
  EXPECT_EQ(WhichSeqClicked(stat, s, 16, 300, 70, 17, nullptr), -1);   // between rows
  EXPECT_EQ(WhichSeqClicked(stat, s, 16, 300, 70, 16 * 16 + 5, nullptr), -1);  // past the last entry
  EXPECT_EQ(WhichSeqClicked(stat, s, 16, 40, 70, 50, nullptr), -1);    // below the pane
  EXPECT_EQ(WhichSeqClicked(stat, s, 0, 300, 70, 20, nullptr), -1);    // no font measured yet
  EXPECT_EQ(WhichSeqClicked(stat, s, 16, 300, 70, -14, nullptr), -1);  // above the pane
}

TEST(MapHistogram, ColumnsScaleToTheLargestCoverage) {
  StatData stat;
  stat.coverage = {0, 2, 4, 1};
  EXPECT_EQ(MapMaxCoverage(stat), 4);
  stat.coverage = {0, 0};
  EXPECT_EQ(MapMaxCoverage(stat), 1);
  const MapScale s = MakeMapScale(480, 10, 100);
  EXPECT_EQ(MapHistogramColumn(s, 10, 2, 4, 64, 16), (MapRect{78, 32, 82, 64}));
  EXPECT_EQ(MapHistogramColumn(s, 10, 0, 4, 64, 16).Height(), 0);
  EXPECT_EQ(MapHistogramColumn(s, 10, 4, 4, 64, 16).top, 0);
}

}  // namespace
