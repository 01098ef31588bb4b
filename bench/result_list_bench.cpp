// The result list with 100,000 hits: the time from a model reset to the
// first painted list, and the time to scroll through the whole list, against
// a plain QListView over a QStringListModel of the same 100,000 rows (the
// baseline) in the same run. Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/bin/bench_result_list [hits]
#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QScrollBar>
#include <QStringListModel>
#include <cstdio>
#include <cstdlib>

#include "vistram/results/records.h"
#include "vistram/shell/gui/display.h"
#include "vistram/shell/gui/result_list.h"

namespace {

void FillWorkingSet(DataProgram& dp, int count) {
  dp.hits = std::make_shared<HitList>();
  dp.hits->reserve(static_cast<std::size_t>(count));
  for (int i = 1; i <= count; ++i) {
    auto hit = std::make_unique<HspData>();
    hit->number = i;
    hit->identifier = "SP|P" + std::to_string(10000 + i) + "|PROT_" + std::to_string(i);
    hit->description = "PUTATIVE SERINE/THREONINE-PROTEIN KINASE " + std::to_string(i) +
                       " (EC 2.7.11.1) FROM A WHOLE GENOME SHOTGUN SEQUENCING PROJECT OF A SOIL BACTERIUM";
    hit->scoreText = std::to_string(1000 - i % 900);
    hit->expectText = "2e-" + std::to_string(i % 90);
    hit->alignmentCount = 1;
    hit->alignments.push_back(std::make_unique<AliData>());
    hit->selected.assign(1, i % 7 == 0 ? 1 : 0);
    dp.hits->push_back(std::move(hit));
  }
  dp.hitCount = static_cast<unsigned>(count);
  dp.viewHitCount = count;
  dp.alignmentCount = count;
}

struct Figures {
  double firstPaintMs = 0;
  double jumpMs = 0;  // kJumps + 1 painted stops from top to bottom
  double pageMs = 0;  // kPages painted page steps
  int rowsPerPage = 0;
};

// Scrolls from the top to the bottom in 1,000 even jumps, painting every
// stop, then one page at a time over the first 200 pages.
constexpr int kJumps = 1000;
constexpr int kPages = 200;
void ScrollThrough(QListView& view, Figures& f) {
  QScrollBar* bar = view.verticalScrollBar();
  QElapsedTimer t;
  t.start();
  for (int i = 0; i <= kJumps; ++i) {
    bar->setValue(static_cast<int>(static_cast<long long>(bar->maximum()) * i / kJumps));
    view.viewport()->repaint();
  }
  f.jumpMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
  bar->setValue(0);
  t.restart();
  for (int i = 0; i < kPages; ++i) {
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    view.viewport()->repaint();
  }
  f.pageMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
  f.rowsPerPage = bar->pageStep();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int hits = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;

  DisplayResources display;
  GuiPreferences prefs;
  if (!CreateFonts(display, prefs, 96, nullptr)) return 1;

  // The result list.
  DataProgram dp;
  FillWorkingSet(dp, hits);
  ResultListModel model(dp);
  ResultListDelegate delegate;
  delegate.SetFont(display.listFont, display.listCharWidth, display.listLineHeight, prefs.listLines);
  QListView list;
  ConfigureResultList(&list, &model, &delegate);
  list.resize(1000, 20 * delegate.ItemHeight());
  list.show();
  QApplication::processEvents();
  Figures ours;
  QElapsedTimer t;
  t.start();
  FillResultList(&list, &model, 0);
  list.viewport()->repaint();
  ours.firstPaintMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
  ScrollThrough(list, ours);

  // The baseline: the same rows as plain strings.
  QStringList rows;
  rows.reserve(hits);
  for (const auto& hit : *dp.hits) {
    rows << QString::fromStdString(hit->identifier + " " + hit->description);
  }
  QStringListModel plainModel;
  QListView plain;
  plain.setUniformItemSizes(true);
  plain.setModel(&plainModel);
  plain.resize(1000, 20 * delegate.ItemHeight());
  plain.show();
  QApplication::processEvents();
  Figures base;
  t.restart();
  plainModel.setStringList(rows);
  plain.setCurrentIndex(plainModel.index(0));
  plain.viewport()->repaint();
  base.firstPaintMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
  ScrollThrough(plain, base);

  std::printf("hits: %d\n", hits);
  std::printf("%-40s %12s %16s %16s %6s\n", "", "first paint", "per jump (1001)", "per page (200)", "rows");
  for (const auto& [name, f] : {std::pair<const char*, const Figures&>{"result list (model + delegate)", ours},
                                std::pair<const char*, const Figures&>{"baseline QListView + QStringListModel", base}}) {
    std::printf("%-40s %9.1f ms %13.3f ms %13.3f ms %6d\n", name, f.firstPaintMs, f.jumpMs / (kJumps + 1),
                f.pageMs / kPages, f.rowsPerPage);
  }
  return 0;
}
