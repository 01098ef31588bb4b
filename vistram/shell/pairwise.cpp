#include "vistram/shell/pairwise.h"

#include <algorithm>
#include <cmath>

#include "vistram/results/records.h"

int RoundColumns(double value) {
  if (!std::isfinite(value)) return 0;
  const double magnitude = std::fabs(value);
  double whole = std::trunc(magnitude);
  if (magnitude - whole > 0.5) whole += 1.0;
  if (whole > 1e9) whole = 1e9;
  const int n = static_cast<int>(whole);
  return value < 0 ? -n : n;
}

PairwiseScroll ComputePairwiseScroll(int clientWidth, int charWidth, int columns) {
  PairwiseScroll s;
  if (charWidth <= 0) return s;
  s.visibleColumns = RoundColumns(static_cast<double>(clientWidth) / charWidth);
  if (s.visibleColumns - 2 < columns) {
    s.enabled = true;
    s.maximum = columns - s.visibleColumns + 2;
  }
  return s;
}

int ApplyPairwiseScroll(const PairwiseScroll& scroll, int position, ScrollRequest request) {
  if (!scroll.enabled) return position;
  int step = 0;
  switch (request) {
    case ScrollRequest::LineLeft: step = -(scroll.visibleColumns / 10); break;
    case ScrollRequest::LineRight: step = scroll.visibleColumns / 10; break;
    case ScrollRequest::PageLeft: step = -scroll.visibleColumns; break;
    case ScrollRequest::PageRight: step = scroll.visibleColumns; break;
    case ScrollRequest::Other: return position;
  }
  return std::clamp(position + step, scroll.minimum, std::max(scroll.minimum, scroll.maximum));
}

ColumnRange PairwiseColumns(int left, int right, int charWidth, int scroll, int columns) {
  ColumnRange r;
  if (charWidth <= 0 || columns <= 0) return r;
  r.first = std::max(0, RoundColumns(static_cast<double>(left) / charWidth) + scroll - 2);
  r.last = std::min(columns, RoundColumns(static_cast<double>(right) / charWidth) + scroll + 2);
  if (r.last < r.first) r.last = r.first;
  return r;
}

PairwiseDrawing LayoutPairwise(const VisualHaspData& view, ColumnRange range, int reference, int xOffset, int y0,
                               int charWidth, int lineHeight) {
  PairwiseDrawing d;
  const int n = std::min({view.alignedLength, static_cast<int>(view.queryLine.size()),
                          static_cast<int>(view.subjectLine.size())});
  const int first = std::max(0, range.first);
  const int last = std::min(n, range.last);
  auto colour = [](const std::vector<int>& colours, int k, int fallback) {
    return static_cast<std::size_t>(k) < colours.size() ? colours[static_cast<std::size_t>(k)] : fallback;
  };
  for (int k = first; k < last; ++k) {
    const std::size_t ku = static_cast<std::size_t>(k);
    const int x = xOffset + charWidth * (k - reference + 1);
    const char q = view.queryLine[ku];
    const char s = view.subjectLine[ku];
    const char m = ku < view.middleLine.size() ? view.middleLine[ku] : ' ';
    d.texts.push_back({x, y0, std::string(1, q), colour(view.queryTextColours, k, 0),
                       colour(view.queryBackColours, k, 1), PairwiseText::Query, k});
    d.texts.push_back({x, y0 + lineHeight, std::string(1, m), colour(view.middleTextColours, k, 0),
                       colour(view.middleBackColours, k, 1), PairwiseText::Middle, k});
    d.texts.push_back({x, y0 + 2 * lineHeight, std::string(1, s), colour(view.subjectTextColours, k, 0),
                       colour(view.subjectBackColours, k, 1), PairwiseText::Subject, k});
    const int qn = colour(view.queryResidueNumbers, k, 0);
    if (q != '-' && qn != 0 && qn % 10 == 0) {
      d.texts.push_back({x, y0 - lineHeight, std::to_string(qn), 0, 1, PairwiseText::Number, k});
      d.ticks.push_back({x, y0 - 2, y0 + 2});
    }
    const int sn = colour(view.subjectResidueNumbers, k, 0);
    if (s != '-' && sn != 0 && sn % 10 == 0) {
      const int y = y0 + 3 * lineHeight;
      d.texts.push_back({x, y, std::to_string(sn), 0, 1, PairwiseText::Number, k});
      d.ticks.push_back({x, y - 2, y + 2});
    }
  }
  return d;
}

HspButtons UpdateHspButtons(int alignmentCount, int alignmentNumber) {
  HspButtons b;
  if (alignmentNumber <= 0) return b;
  b.next = alignmentCount > 1 && alignmentNumber < alignmentCount;
  b.previous = alignmentCount > 1 && alignmentNumber > 1;
  return b;
}

HspCaption BuildHspCaption(const DataProgram& dp) {
  HspCaption c;
  const VisualHaspData* v = dp.viewer.get();
  if (v == nullptr || dp.currentTable < 0) return c;
  const HspData* hit = dp.Hit(v->hitNumber);
  const int count = hit != nullptr ? hit->alignmentCount : 0;
  std::string origin;
  if (v->sourceTableIndex >= 0 && static_cast<std::size_t>(v->sourceTableIndex) < dp.tableNames.size()) {
    origin = dp.tableNames[static_cast<std::size_t>(v->sourceTableIndex)];
  }
  c.alignment = "Ali: " + std::to_string(v->alignmentNumber) + "/" + std::to_string(count) +
                ". Origin: " + origin + " (" + std::to_string(v->sourceHitNumber) + ")";
  c.statistics = v->statsText;
  c.queryFrom = std::to_string(v->queryStart);
  c.queryTo = std::to_string(v->queryEnd);
  c.subjectFrom = std::to_string(v->subjectStart);
  c.subjectTo = std::to_string(v->subjectEnd);
  return c;
}
