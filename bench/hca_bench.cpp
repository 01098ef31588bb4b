// HCA plots of a 2,500-residue sequence: building the model, and drawing the
// whole plot (both nets: cells, letters, symbols, contours, zigzags, scale)
// onto a QImage; also one screen-wide repaint. Baseline: painting the same
// number of plain glyphs (two per residue) with QPainter::drawText.
//
//   QT_QPA_PLATFORM=offscreen build/bin/hca_bench
// With HCA_BENCH_PARTS set it also times each layer alone (letters, cells,
// contours, zigzags; the scale is drawn every time).
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "vistram/hca/gui/hca_draw.h"
#include "vistram/hca/hca_model.h"

namespace {

// Median wall time of `runs` calls, in milliseconds.
double MedianMs(int runs, const std::function<void()>& f) {
  std::vector<double> t;
  for (int i = 0; i < runs; ++i) {
    const auto a = std::chrono::steady_clock::now();
    f();
    const auto b = std::chrono::steady_clock::now();
    t.push_back(std::chrono::duration<double, std::milli>(b - a).count());
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

// 2,500 residues of real globin and elongation-factor text, repeated.
std::string Protein(std::size_t n) {
  const std::string base =
      "VLSPADKTNVKAAWGKVGAHAGEYGAEALERMFLSFPTTKTYFPHFDLSHGSAQVKGHGKKVADALTNAVAHVDDMPNALSALSDLHAHKLRVDPVNFKLLSHCLLVTL"
      "MAKEKFDRSKSHANIGTIGHVDHGKTTLTAAITTVLHKKSGKGTAMAYDQIDGAPEERERGITISTAHVEYETETRHYAHVDCPGHADYVKNMITGAAQMDGAILVVSA";
  std::string s;
  while (s.size() < n) s += base;
  s.resize(n);
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const int kRuns = 31;
  const std::size_t n = 2500;
  const std::string seqText = Protein(n);
  std::vector<int> text(n, 0), back(n, 1);
  for (std::size_t i = 0; i < n; ++i) back[i] = (seqText[i] == 'K' || seqText[i] == 'R') ? 7 : 1;

  auto res = MakeHcaDeviceResources(96, 8, kHcaScreen);
  if (!res) return 1;
  std::unique_ptr<InfoSeq> seq;
  const double build = MedianMs(kRuns, [&] {
    seq = BuildHcaSequence(seqText, text, back, 1, "bench", "", res->geometry);
  });

  const QSize size = HcaPictureSize({seq.get()}, *res);
  QImage whole(size, QImage::Format_RGB32);
  const double drawWhole = MedianMs(kRuns, [&] {
    whole.fill(Qt::white);
    QPainter p(&whole);
    DessineDiagramme2(p, *seq, 0, 0, seq->lastIndex, 0, 0, size.width(), size.height(), *res, kHcaScreen);
  });

  if (std::getenv("HCA_BENCH_PARTS")) {
    for (int part = 0; part < 4; ++part) {
      seq->showLetters = part == 0;
      seq->showColours = part == 1;
      seq->showContours = part == 2;
      seq->showZigzags = part == 3;
      const double t = MedianMs(kRuns, [&] {
        whole.fill(Qt::white);
        QPainter p(&whole);
        DessineDiagramme2(p, *seq, 0, 0, seq->lastIndex, 0, 0, size.width(), size.height(), *res, kHcaScreen);
      });
      std::printf("  part %d only: %.3f ms\n", part, t);
    }
    seq->showLetters = seq->showColours = seq->showContours = seq->showZigzags = 1;
    {
      const HcaDrawList list = PrepareHcaDrawing(*seq, 0, seq->lastIndex, 0, 0, 0, res->geometry);
      QList<QLine> edges;
      for (const auto& f : list.residues) {
        AppendHcaContour(edges, f.contourBits, f.hexagon);
        AppendHcaContour(edges, f.contourBits, f.hexagon2);
      }
      int longest = 0;
      for (const QLine& l : edges) longest = std::max(longest, std::abs(l.dx()) + std::abs(l.dy()));
      const double t = MedianMs(kRuns, [&] {
        whole.fill(Qt::white);
        QPainter p(&whole);
        p.setPen(QPen(Qt::black, 0));
        p.drawLines(edges);
      });
      std::printf("  %lld contour edges alone (longest %d px): %.3f ms\n", static_cast<long long>(edges.size()), longest, t);
    }
    const double fillOnly = MedianMs(kRuns, [&] { whole.fill(Qt::white); });
    std::printf("  fill only: %.3f ms\n", fillOnly);
  }

  // One repaint of a 1,600-pixel-wide plot window.
  QImage screen(1600, res->stripHeight, QImage::Format_RGB32);
  const double drawScreen = MedianMs(kRuns, [&] {
    screen.fill(Qt::white);
    QPainter p(&screen);
    DRAWHCAWND(p, *seq, *res, screen.rect());
  });

  // Baseline: 2 x 2,500 single glyphs with QPainter::drawText at the same
  // positions and in the same font, black.
  const double baseline = MedianMs(kRuns, [&] {
    whole.fill(Qt::white);
    QPainter p(&whole);
    p.setFont(res->residueFont);
    p.setPen(Qt::black);
    const int down = RoundDouble(HcaNetOffset(res->geometry));
    for (std::size_t i = 0; i < n; ++i) {
      const QString c{QChar(seqText[i])};
      const int x = RoundDouble(seq->aa[i].x), y = RoundDouble(seq->aa[i].y) + res->ascent;
      p.drawText(QPoint(x, y), c);
      p.drawText(QPoint(x, y + down), c);
    }
  });

  const int visible = RoundDouble(1600 / res->geometry.dx);
  std::size_t edges = 0;
  for (const InfoAA& a : seq->aa) edges += 2 * static_cast<std::size_t>(__builtin_popcount(a.contourBits));
  std::printf("HCA plot, %zu residues, %d clusters, %zu contour edges, picture %dx%d, median of %d runs\n", n,
              seq->ClusterCount(), edges, size.width(), size.height(), kRuns);
  std::printf("  build model (BuildHcaSequence)            %8.3f ms\n", build);
  std::printf("  draw whole plot (DessineDiagramme2)       %8.3f ms\n", drawWhole);
  std::printf("  repaint 1600 px window (%4d residues)    %8.3f ms\n", visible, drawScreen);
  std::printf("  baseline: %zu drawText glyphs             %8.3f ms\n", 2 * n, baseline);
  std::printf("  whole plot / baseline                     %8.2f x\n", drawWhole / baseline);
  return 0;
}
