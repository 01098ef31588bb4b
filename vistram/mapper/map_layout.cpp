#include "vistram/mapper/map_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

int MapRound(double x) {
  // An exact half goes toward zero: 2.5 -> 2, -2.5 -> -2.
  return static_cast<int>(x >= 0 ? std::ceil(x - 0.5) : std::floor(x + 0.5));
}

int MapScale::X(long long p) const {
  return m + MapRound(static_cast<double>(p) * D / std::max(1, L));
}

int MapScale::PositionAt(int x) const {
  if (!(x > m && x <= m + D) || D <= 0) return 0;
  const int p = MapRound((x - m) / (static_cast<double>(D) / std::max(1, L)));
  return std::clamp(p, 1, std::max(1, L));
}

MapScale MakeMapScale(int clientWidth, int cw, int L) {
  MapScale s;
  s.m = 4 * cw;
  s.D = std::max(0, clientWidth - 2 * s.m);
  s.L = std::max(1, L);
  return s;
}

std::vector<int> MapTickPositions(int L, unsigned ticks) {
  std::vector<int> out;
  if (L < 1) return out;
  out.push_back(1);
  if (ticks > 0)
    for (long long p = ticks; p <= L; p += ticks)
      if (p != 1 && p != L) out.push_back(static_cast<int>(p));
  if (L != 1) out.push_back(L);
  return out;
}

MapPanes MapPaneLayout(int W, int H, const MapFontMetrics& f) {
  MapPanes p;
  const int left = 30 * f.cw + 1;
  const int below = 6 * f.lh;
  p.names = {0, below, 30 * f.cw, std::max(below, H)};
  p.bars = {left, below, std::max(left, W), std::max(below, H)};
  p.histogram = {left, 0, std::max(left, W), 4 * f.lh - 1};
  return p;
}

MapRect MapBarRect(const StatEntry& e, const MapScale& s, int y0, int lh) {
  return {s.X(e.queryStart), y0 + 2, s.X(e.queryEnd), y0 + lh - 1};
}

MapRect MapHistogramColumn(const MapScale& s, int p, std::int32_t coverage, std::int32_t maxCoverage, int bottom,
                           int lh) {
  const double half = static_cast<double>(s.D) / (2.0 * s.L);
  const double x = s.X(p);
  const int h = MapRound(static_cast<double>(coverage) * 4 * lh / std::max<std::int32_t>(1, maxCoverage));
  return {MapRound(x - half), bottom - h, MapRound(x + half), bottom};
}

std::int32_t MapMaxCoverage(const StatData& stat) {
  std::int32_t m = 1;
  for (std::int32_t c : stat.coverage) m = std::max(m, c);
  return m;
}

int WhichSeqClicked(const StatData& stat, const MapScale& s, int lh, int paneHeight, int x, int y, MapRect* bar) {
  if (lh <= 0 || y < 0) return -1;
  const std::size_t row = static_cast<std::size_t>(y / lh);
  const std::size_t i = stat.first + row;
  if (i >= stat.entries.size() || static_cast<int>(row) * lh >= paneHeight) return -1;
  MapRect r = MapBarRect(*stat.entries[i], s, static_cast<int>(row) * lh, lh);
  if (r.right < r.left) std::swap(r.left, r.right);
  // The bar's outline is drawn on its right and bottom edges too.
  const MapRect hit{r.left, r.top, r.right + 1, r.bottom + 1};
  if (!hit.Contains(x, y)) return -1;
  if (bar != nullptr) *bar = r;
  return static_cast<int>(i);
}

MapScrollBar ReajusteStatGraphScroll(StatData& stat, int clientHeight, int lh) {
  MapScrollBar bar;
  const int q = lh > 0 ? MapRound((clientHeight + 1) / static_cast<double>(lh)) : 0;
  if (q - 2 < static_cast<long long>(stat.n)) {
    stat.pageSize = static_cast<std::uint32_t>(std::max(0, q));
    bar.enabled = true;
    bar.maximum = static_cast<std::uint32_t>(std::max<long long>(0, static_cast<long long>(stat.n) - q + 2));
    stat.first = std::min(stat.first, bar.maximum);
    bar.position = stat.first;
  } else {
    stat.pageSize = 0;
    stat.first = 0;
  }
  return bar;
}

std::uint32_t MapScrolledFirst(const StatData& stat, const MapScrollBar& bar, MapScrollRequest request,
                               std::uint32_t thumb) {
  if (!bar.enabled) return 0;
  const long long f = stat.first;
  const long long q = stat.pageSize;
  long long next = f;
  switch (request) {
    case MapScrollRequest::LineUp: next = f - 1; break;
    case MapScrollRequest::LineDown: next = f + 1; break;
    case MapScrollRequest::PageUp: next = f - q; break;
    case MapScrollRequest::PageDown: next = f + q; break;
    case MapScrollRequest::Top: next = 0; break;
    case MapScrollRequest::Bottom: next = bar.maximum; break;
    case MapScrollRequest::Thumb: next = thumb; break;
  }
  return static_cast<std::uint32_t>(std::clamp<long long>(next, 0, bar.maximum));
}

MapRect MapDescriptionTip(const MapRect& barInWindow, int windowWidth, const MapFontMetrics& f) {
  MapRect r{barInWindow.left, barInWindow.top - 2 * f.lh, barInWindow.left + 50 * f.cw, barInWindow.top};
  if (r.right > windowWidth) {
    const int shift = r.right - (windowWidth - 2);
    r.left -= shift;
    r.right -= shift;
  }
  return r;
}

MapRect MapPositionTip(int x, int barsTop, const MapFontMetrics& f) {
  const int w = 16 * f.cw;
  return {x - w / 2, barsTop - f.lh, x - w / 2 + w, barsTop};
}

std::string MapLegendText(const ScoreClass& c) {
  char buf[48];
  std::snprintf(buf, sizeof buf, ":%4u to %4u", static_cast<unsigned>(c.from), static_cast<unsigned>(c.to));
  return buf;
}

MapPictureLayout MapPictureGeometry(const StatData& stat, int width, const MapFontMetrics& f) {
  MapPictureLayout out;
  out.width = std::max(width, 30 * f.cw + 1 + 8 * f.cw + 40);
  out.height = 6 * f.lh + static_cast<int>(std::min<std::size_t>(stat.entries.size(), 1000000)) * f.lh + f.lh;
  out.panes = MapPaneLayout(out.width, out.height, f);
  return out;
}
