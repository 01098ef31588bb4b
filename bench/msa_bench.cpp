// The alignment editor on a large report: the MSA built from every
// alignment, one screen of it painted and a page scrolled in each direction,
// against a QTableView over a model of the same cells (the baseline) in the
// same run; then the MSF file of that MSA and of a generated alignment of
// 33,492 rows x 1,489 columns written and read back. Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/bin/bench_msa REPORT [DIR]
// DIR receives the MSF files (default: a new folder under /tmp, removed).
#include <QAbstractTableModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "vistram/editor/gui/editor_window.h"
#include "vistram/editor/msf.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/batch_result_view.h"
#include "vistram/results/load_flow.h"
#include "vistram/base/colours.h"

namespace {


long ResidentKb() {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

double Ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

// The baseline: the same cells in a QTableView, one character per cell.
class CellModel : public QAbstractTableModel {
 public:
  explicit CellModel(const DarUvaData& msa) : msa_(msa) {}
  int rowCount(const QModelIndex& = {}) const override { return msa_.SequenceCount(); }
  int columnCount(const QModelIndex& = {}) const override { return msa_.columnCount; }
  QVariant data(const QModelIndex& index, int role) const override {
    const DarUvaSeq& row = *msa_.rows[static_cast<std::size_t>(index.row())];
    const std::size_t c = static_cast<std::size_t>(index.column());
    if (role == Qt::DisplayRole) return QString(QChar(row.residues[c]));
    if (role == Qt::BackgroundRole) {
      const PaletteColour p = PaletteAt(row.backColours[c]);
      return QColor(p.red, p.green, p.blue);
    }
    if (role == Qt::ForegroundRole) {
      const PaletteColour p = PaletteAt(row.textColours[c]);
      return QColor(p.red, p.green, p.blue);
    }
    if (role == Qt::TextAlignmentRole) return Qt::AlignCenter;
    return {};
  }

 private:
  const DarUvaData& msa_;
};

struct PaintFigures {
  double firstMs = 0, pageDownMs = 0, pageUpMs = 0, pageRightMs = 0, pageLeftMs = 0;
};

constexpr int kRepeats = 50;

// Average of kRepeats: set both bars, repaint.
double Steps(QWidget* viewport, QScrollBar* bar, int from, int to) {
  QElapsedTimer t;
  t.start();
  for (int i = 0; i < kRepeats; ++i) {
    bar->setValue(from);
    viewport->repaint();
  }
  const double base = Ms(t);
  t.restart();
  for (int i = 0; i < kRepeats; ++i) {
    bar->setValue(i % 2 == 0 ? to : from);
    viewport->repaint();
  }
  (void)base;
  return Ms(t) / kRepeats;
}

PaintFigures Measure(QWidget* viewport, QScrollBar* h, QScrollBar* v) {
  PaintFigures f;
  QElapsedTimer t;
  t.start();
  viewport->repaint();
  f.firstMs = Ms(t);
  const int midV = v->maximum() / 2, midH = std::max(0, h->maximum() / 2);
  h->setValue(midH);
  f.pageDownMs = Steps(viewport, v, midV, midV + v->pageStep());
  f.pageUpMs = Steps(viewport, v, midV + v->pageStep(), midV);
  f.pageRightMs = Steps(viewport, h, midH, midH + h->pageStep());
  f.pageLeftMs = Steps(viewport, h, midH + h->pageStep(), midH);
  return f;
}

void PrintPaint(const char* what, const PaintFigures& f) {
  std::printf("%-28s first paint %7.2f ms, page down %6.2f, up %6.2f, right %6.2f, left %6.2f ms\n", what, f.firstMs,
              f.pageDownMs, f.pageUpMs, f.pageRightMs, f.pageLeftMs);
}

void TimeMsf(const DarUvaData& msa, const std::string& path, const char* what) {
  QElapsedTimer t;
  t.start();
  if (SauveMSF(50, path, msa, 0, 1, msa.columnCount - 1, true) != 1) {
    std::printf("cannot write %s\n", path.c_str());
    return;
  }
  const double write = Ms(t);
  const long before = ResidentKb();
  t.restart();
  int rows = 0, columns = 0;
  AnalyseMSFHeader(path, rows, columns);
  auto back = ReadMSFforSeq(path, rows, columns, "");
  const double read = Ms(t);
  std::printf("%-28s %d rows x %d columns, %.1f MB: write %.0f ms, read %.0f ms (+%ld MB resident; record %.0f MB)\n",
              what, rows, columns, static_cast<double>(std::filesystem::file_size(path)) / 1e6, write, read,
              (ResidentKb() - before) / 1024, static_cast<double>(rows) * columns * 10 / 1e6);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_msa REPORT [DIR]\n");
    return 2;
  }
  RecordingPlatform platform;
  SetCurrentPlatform(&platform);
  DataProgram dp;
  BatchResultView view;
  SetPendingFilePath(argv[1]);
  if (StartLoad(dp, view) != kLoadStarted) return 1;
  WaitForLoadThread();
  OnLoadDone(dp, view, view.ready(), view.fromTables());
  if (!view.ready()) return 1;
  for (auto& hit : *dp.hits) std::fill(hit->selected.begin(), hit->selected.end(), 1);
  const std::vector<SelectedPair> pairs = ListSelectedAlignments(dp);

  const long before = ResidentKb();
  QElapsedTimer t;
  t.start();
  std::unique_ptr<DarUvaData> msa = BuildMsaFromAlignments(dp, pairs);
  const double buildMs = Ms(t);
  const long grownKb = ResidentKb() - before;
  const double recordMb = static_cast<double>(msa->SequenceCount()) * msa->columnCount * 10 / 1e6;
  std::printf("MSA of %zu alignments: %d rows x %d columns built in %.0f ms; resident +%ld MB (record %.0f MB)\n",
              pairs.size(), msa->SequenceCount(), msa->columnCount, buildMs, grownKb / 1024, recordMb);

  std::string dir = argc > 2 ? argv[2] : "";
  bool removeDir = false;
  if (dir.empty()) {
    char pattern[] = "/tmp/bench-msa-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    dir = pattern;
    removeDir = true;
  }

  DarUvaData* raw = msa.get();
  DarUvaEditor* editor = DarUvaEditor::AfficheDarUvaWin(std::move(msa), argv[1], "", nullptr);
  editor->resize(1280, 900);
  app.processEvents();
  editor->AdjustScrollBars();
  MsaAlignArea* area = editor->AlignArea();
  const QSize client = area->viewport()->size();
  PaintFigures ours = Measure(area->viewport(), area->horizontalScrollBar(), area->verticalScrollBar());

  CellModel model(*raw);
  QTableView table;
  table.setModel(&model);
  table.horizontalHeader()->hide();
  table.verticalHeader()->hide();
  table.setShowGrid(false);
  table.setFont(editor->EditorFont());
  table.horizontalHeader()->setMinimumSectionSize(1);
  table.horizontalHeader()->setDefaultSectionSize(editor->CharWidth());
  table.verticalHeader()->setMinimumSectionSize(1);
  table.verticalHeader()->setDefaultSectionSize(editor->LineHeight());
  table.resize(client + QSize(table.verticalScrollBar()->sizeHint().width(), table.horizontalScrollBar()->sizeHint().height()));
  table.show();
  app.processEvents();
  PaintFigures base = Measure(table.viewport(), table.horizontalScrollBar(), table.verticalScrollBar());
  std::printf("screen of %d x %d pixels, cell %d x %d\n", client.width(), client.height(), editor->CharWidth(),
              editor->LineHeight());
  PrintPaint("editor (ours)", ours);
  PrintPaint("QTableView (baseline)", base);

  TimeMsf(*raw, dir + "/report.msf", "MSF of the report's MSA");
  editor->CloseWithoutQuestion();
  delete editor;
  FreeDataTable(dp);

  // A generated alignment of the size of a large Pfam family.
  {
    auto big = NewDarUvaData(33492, 1489);
    std::mt19937 random(3);
    const char* aa = "ACDEFGHIKLMNPQRSTVWY.....";
    for (int r = 0; r < big->SequenceCount(); ++r) {
      DarUvaSeq& row = *big->rows[static_cast<std::size_t>(r)];
      row.name = "S" + std::to_string(r);
      for (char& c : row.residues) c = aa[random() % 25];
    }
    TimeMsf(*big, dir + "/big.msf", "generated MSF");
  }
  if (removeDir) std::filesystem::remove_all(dir);
  return 0;
}
