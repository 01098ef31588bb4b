// The map of a benchmark-sized table: 20,000 hits with 75,815 alignments
// (the counts of the benchmark report of bench/make-big-report) over a
// query of 783 residues, alignments of 40 to 300 columns with gaps.
//   - preparing the map (entries, labels, coverage and identity profile);
//   - sorting by query start and back by hit number, against the plain
//     selection sort (the baseline, same exchanges, quadratic);
//   - repainting one window page (names, bars, histogram) while scrolling,
//     against a QGraphicsScene holding the same 75,815 rectangles and
//     rendering the same page.
//
//   QT_QPA_PLATFORM=offscreen build/bin/map_bench [REPORT]
// With a REPORT, its first table is mapped instead of the generated one.
// With MAP_BENCH_SVG set, the whole map is also drawn once as SVG in memory.
#include <QApplication>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "vistram/mapper/gui/map_draw.h"
#include "vistram/mapper/map_layout.h"
#include "vistram/mapper/stat_data.h"
#include "vistram/results/records.h"
#include "vistram/shell/batch_load.h"
#include "vistram/shell/main_commands.h"

namespace {

double Ms(const std::function<void()>& f) {
  const auto a = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - a).count();
}

double MedianMs(int runs, const std::function<void()>& f) {
  std::vector<double> t;
  for (int i = 0; i < runs; ++i) t.push_back(Ms(f));
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

void Generate(DataProgram& dp) {
  std::mt19937 rng(1999);
  const int L = 783;
  const std::string aa = "ACDEFGHIKLMNPQRSTVWY";
  dp.header.queryLength = L;
  dp.hits = std::make_shared<HitList>();
  const int hits = 20000, alignments = 75815;
  int made = 0;
  for (int h = 0; h < hits; ++h) {
    auto hit = std::make_unique<HspData>();
    hit->number = h + 1;
    hit->identifier = "SP|Q" + std::to_string(10000 + h) + "|GLB_VAR";
    hit->description = "GLOBIN VARIANT " + std::to_string(h + 1) + " GENERATED FOR THE MAP BENCHMARK";
    const int count = h < alignments - 3 * hits ? 4 : 3;
    for (int a = 0; a < count && made < alignments; ++a, ++made) {
      auto ali = std::make_unique<AliData>();
      const int len = 40 + static_cast<int>(rng() % 261);
      ali->queryStart = 1 + static_cast<int>(rng() % static_cast<unsigned>(L - 30));
      for (int k = 0; k < len; ++k) {
        const char q = rng() % 25 == 0 ? '-' : aa[rng() % aa.size()];
        const char s = rng() % 25 == 0 ? '-' : (rng() % 3 == 0 ? aa[rng() % aa.size()] : q == '-' ? 'A' : q);
        ali->queryLine.push_back(q);
        ali->subjectLine.push_back(s);
      }
      ali->queryEnd = ali->queryStart + len;
      ali->subjectStart = 1;
      ali->subjectEnd = len;
      ali->statsText = " Score = " + std::to_string(20 + rng() % 400) + " bits (" + std::to_string(rng() % 900) + ")";
      hit->alignments.push_back(std::move(ali));
      hit->selected.push_back(1);
    }
    hit->alignmentCount = static_cast<int>(hit->alignments.size());
    dp.hits->push_back(std::move(hit));
  }
  dp.hitCount = static_cast<unsigned>(dp.hits->size());
  dp.alignmentCount = made;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  DataProgram dp;
  if (argc > 1) {
    if (LoadReportForBatch(dp, argv[1]) != 1) return 1;
    LoadTableIntoWorkingSet(dp, 0);
    SelectAllAlignments(dp);
  } else {
    Generate(dp);
  }
  std::printf("map of %d alignments, query of %d residues\n", dp.alignmentCount, dp.header.queryLength);

  StatData stat;
  const double prepare = MedianMs(5, [&] { PrepareStatData(stat, dp, dp.alignmentCount, nullptr, nullptr); });
  std::printf("prepare map                         %9.1f ms\n", prepare);

  const double sort = MedianMs(5, [&] {
    Tri_StatData(stat);
    UndoTri_StatData(stat);
  }) / 2;
  std::printf("sort (tree selection sort)          %9.1f ms\n", sort);
  std::vector<long long> keys;
  for (const auto& e : stat.entries) keys.push_back(e->queryStart);
  std::vector<std::uint32_t> order(keys.size());
  for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  const double plain = Ms([&] { SelectionSortPlain(keys, order); });
  std::printf("baseline: plain selection sort      %9.1f ms  (%.0f x)\n", plain, plain / sort);

  // One page of the window: 900 x 600 client, the map font at 12 points.
  const MapPaintStyle style = MakeMapPaintStyle(MakeMapFont(12, 96));
  const MapPanes panes = MapPaneLayout(900, 600, style.f);
  const int barsWidth = panes.bars.Width() - 16;
  QImage namesImage(panes.names.Width(), panes.names.Height(), QImage::Format_RGB32);
  QImage barsImage(panes.bars.Width(), panes.bars.Height(), QImage::Format_RGB32);
  QImage histoImage(panes.histogram.Width(), panes.histogram.Height(), QImage::Format_RGB32);
  ReajusteStatGraphScroll(stat, panes.bars.Height(), style.f.lh);
  const std::size_t page = stat.pageSize;
  std::uint32_t first = 0;
  const double scroll = MedianMs(201, [&] {
    first = (first + static_cast<std::uint32_t>(page)) % static_cast<std::uint32_t>(stat.entries.size() - page);
    namesImage.fill(Qt::white);
    barsImage.fill(kMapLightGrey);
    QPainter n(&namesImage), b(&barsImage);
    PaintMapNames(n, stat, style, namesImage.rect(), first, page + 1);
    PaintMapBars(b, stat, style, QRect(0, 0, barsWidth, barsImage.height()), barsWidth, first, page + 1);
  });
  const double histo = MedianMs(51, [&] {
    histoImage.fill(kMapLightGrey);
    QPainter h(&histoImage);
    PaintMapHistogram(h, stat, style, histoImage.rect(), barsWidth);
  });
  std::printf("scroll one page (names and bars)    %9.2f ms  (%zu bars)\n", scroll, page);
  std::printf("histogram repaint                   %9.2f ms\n", histo);

  // Baseline: the same rectangles as items of a scene, one page rendered.
  QGraphicsScene scene;
  const MapScale s = MakeMapScale(barsWidth, style.f.cw, stat.L);
  const double build = Ms([&] {
    for (std::size_t i = 0; i < stat.entries.size(); ++i) {
      const MapRect r = MapBarRect(*stat.entries[i], s, static_cast<int>(i) * style.f.lh, style.f.lh);
      const int cls = std::max(0, ScoreClassOf(stat, stat.entries[i]->score));
      scene.addRect(r.left, r.top, r.Width(), r.Height(), QPen(Qt::black),
                    ScoreClassColour(stat.classes[static_cast<std::size_t>(cls)]));
    }
  });
  first = 0;
  const double sceneScroll = MedianMs(201, [&] {
    first = (first + static_cast<std::uint32_t>(page)) % static_cast<std::uint32_t>(stat.entries.size() - page);
    barsImage.fill(kMapLightGrey);
    QPainter b(&barsImage);
    const QRectF source(0, first * style.f.lh, barsImage.width(), barsImage.height());
    scene.render(&b, QRectF(barsImage.rect()), source);
  });
  std::printf("baseline: QGraphicsScene build      %9.1f ms\n", build);
  std::printf("baseline: QGraphicsScene one page   %9.2f ms  (rectangles only)\n", sceneScroll);
  if (qEnvironmentVariableIsSet("MAP_BENCH_SVG")) {
    QByteArray svg;
    std::string error;
    const double t = Ms([&] { RenderMapPicture(stat, style, true, svg, error); });
    std::printf("whole map as SVG in memory          %9.1f ms  (%.1f MB)\n", t, static_cast<double>(svg.size()) / 1e6);
  }
  return 0;
}
