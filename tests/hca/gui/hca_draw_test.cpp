// Rendering of HCA plots on QImage: contours on both copies of the net,
// symbols at P, G, S and T, cell fills, the scale and the legend; pictures
// saved as PNG and SVG.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "vistram/hca/gui/hca_draw.h"
#include "vistram/hca/hca_layout.h"

namespace {

bool Dark(const QImage& img, int x, int y) {
  if (!img.rect().contains(x, y)) return false;
  return qGray(img.pixel(x, y)) < 100;
}

// Any dark pixel within `r` of (x, y).
bool DarkNear(const QImage& img, int x, int y, int r = 1) {
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx)
      if (Dark(img, x + dx, y + dy)) return true;
  return false;
}

}  // namespace

class HcaDrawTest : public QObject {
  Q_OBJECT

 private:
  HcaDeviceResources res_;

  std::unique_ptr<InfoSeq> Build(const std::string& s, std::vector<int> back = {}) {
    if (back.empty()) back.assign(s.size(), 1);
    return BuildHcaSequence(s, std::vector<int>(s.size(), 0), back, 1, "test", "", res_.geometry);
  }

  QImage Render(const InfoSeq& seq) {
    QImage img(RoundDouble((seq.length + 3) * res_.geometry.dx) + 8 * res_.geometry.W, res_.stripHeight,
               QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    DessineDiagramme2(p, seq, 0, 0, seq.lastIndex, 0, 0, img.width(), img.height(), res_, kHcaScreen);
    return img;
  }

  HcaDrawList Layout(const InfoSeq& seq) {
    return PrepareHcaDrawing(seq, 0, seq.lastIndex, 0, 0, 0, res_.geometry);
  }

 private slots:
  void initTestCase() {
    // A large font, so that every shape spans several pixels.
    auto res = MakeHcaDeviceResources(96, 24, kHcaScreen);
    QVERIFY(res.has_value());
    res_ = *res;
    QVERIFY(res_.geometry.H > 20);
    QCOMPARE(res_.stripHeight, RoundDouble(9.0 * res_.geometry.dy) + 2 * res_.geometry.H);
  }

  void contoursOnBothNets() {
    auto seq = Build("KKKKVKKKK");
    seq->showLetters = 0;
    const QImage img = Render(*seq);
    const HcaDrawList list = Layout(*seq);
    const HcaResidueFigure& v = list.residues[4];
    QCOMPARE(v.contourBits, std::uint8_t(0x3F));
    const int down = RoundDouble(HcaNetOffset(res_.geometry));
    for (std::uint8_t bit : kHcaContourBits) {
      const auto [a, b] = HcaContourEdge(bit);
      const HcaPointI& p = v.hexagon[static_cast<std::size_t>(a)];
      const HcaPointI& q = v.hexagon[static_cast<std::size_t>(b)];
      const int mx = (p.x + q.x) / 2, my = (p.y + q.y) / 2;
      QVERIFY2(DarkNear(img, mx, my), qPrintable(QString("edge %1 first net").arg(bit)));
      QVERIFY2(DarkNear(img, mx, my + down), qPrintable(QString("edge %1 second net").arg(bit)));
    }
    // A residue without contour bits has no edge drawn at its own hexagon's
    // far corner (toward +4), away from any contour.
    const HcaResidueFigure& k = list.residues[0];
    QVERIFY(!DarkNear(img, k.hexagon[kCornerM4].x, k.hexagon[kCornerM4].y, 0));
    // With contours off nothing dark remains where the edges were.
    seq->showContours = 0;
    const QImage bare = Render(*seq);
    const auto [a, b] = HcaContourEdge(kHcaBitP3P4);
    QVERIFY(!DarkNear(bare, (v.hexagon[a].x + v.hexagon[b].x) / 2, (v.hexagon[a].y + v.hexagon[b].y) / 2));
  }

  void symbolsAtProlineGlycineSerineThreonine() {
    auto seq = Build("AAPAGASATAA");
    seq->showContours = 0;
    seq->showColours = 0;
    const QImage img = Render(*seq);
    const HcaDrawList list = Layout(*seq);
    // A white letter (proline's, as the shipped configuration gives it) on
    // no background is drawn black, never white on white.
    seq->aa[2].textColour = kHcaWhite;
    QCOMPARE(Layout(*seq).residues[2].letterColour, kHcaBlack);
    const int down = RoundDouble(HcaNetOffset(res_.geometry));
    const HcaGraphData& g = res_.geometry;
    for (int i : {2, 4, 6}) {  // star, diamond, square with dot: filled at the centre
      const HcaResidueFigure& f = list.residues[static_cast<std::size_t>(i)];
      QVERIFY2(Dark(img, f.X, f.Yc), qPrintable(QString("symbol of %1").arg(f.residue)));
      QVERIFY2(Dark(img, f.X, f.Yc + down), qPrintable(QString("second symbol of %1").arg(f.residue)));
    }
    // T: an empty square.
    const HcaResidueFigure& t = list.residues[8];
    const HcaSymbolShape sq = HcaLayoutSymbol(HcaSymbol::Square, t.X, t.Yc, g.W, g.H);
    QVERIFY(Dark(img, t.X - sq.squareHalf, t.Yc));
    QVERIFY(!Dark(img, t.X, t.Yc));
    // S has the dot that T lacks.
    QVERIFY(Dark(img, list.residues[6].X, list.residues[6].Yc));
  }

  void fillsFollowTheColourMode() {
    // Residue 2 has a red background (palette 2); V at 4 is hydrophobic.
    auto seq = Build("KKKKVKK", {1, 1, 2, 1, 1, 1, 1});
    seq->showLetters = 0;
    seq->showContours = 0;
    const HcaDrawList list = Layout(*seq);
    const auto& red = list.residues[2];
    const auto& v = list.residues[4];
    QImage img = Render(*seq);
    QCOMPARE(QColor(img.pixel(red.X, red.Yc)), QColor(255, 0, 0));
    QCOMPARE(QColor(img.pixel(red.X, red.Yc2)), QColor(255, 0, 0));
    QCOMPARE(QColor(img.pixel(v.X, v.Yc)), QColor(255, 255, 255));
    seq->colourMode = 1;  // black and white: grey hydrophobic cells only
    img = Render(*seq);
    QCOMPARE(QColor(img.pixel(red.X, red.Yc)), QColor(255, 255, 255));
    QCOMPARE(QColor(img.pixel(v.X, v.Yc)), QColor(192, 192, 192));
    QCOMPARE(QColor(img.pixel(v.X, v.Yc2)), QColor(192, 192, 192));
  }

  void scaleNumbersAndTicks() {
    auto seq = Build(std::string(24, 'K') + "-");  // the last character is a gap
    seq->showLetters = 0;
    const HcaDrawList list = Layout(*seq);
    const HcaGraphData& g = res_.geometry;
    std::vector<int> numbered;
    for (const auto& f : list.residues)
      if (f.scale != HcaResidueFigure::Scale::None) numbered.push_back(f.index);
    QCOMPARE(numbered, (std::vector<int>{0, 9, 19}));  // 1, 10, 20; no number on the gap
    // The last letter: its number lower down, left-aligned, and no tick.
    auto plain = Build(std::string(25, 'K'));
    const HcaDrawList l2 = Layout(*plain);
    QCOMPARE(int(l2.residues[24].scale), int(HcaResidueFigure::Scale::LastNumber));
    QCOMPARE(l2.residues[24].number, std::string("25"));
    QVERIFY(!l2.residues[24].tick);
    QCOMPARE(l2.residues[24].numberAt.y, 3 * g.W);
  }

  void zigzagMarksOnBothNets() {
    auto seq = Build("AAAAAVAVAAA");
    QCOMPARE(seq->zigzags, (std::vector<std::int32_t>{6}));
    seq->showLetters = 0;
    seq->showContours = 0;
    const HcaDrawList list = Layout(*seq);
    QCOMPARE(list.zigzagStrokes.size(), std::size_t(4));
    const QImage img = Render(*seq);
    for (const HcaSegment& s : list.zigzagStrokes) {
      QVERIFY(DarkNear(img, (s.from.x + s.to.x) / 2, (s.from.y + s.to.y) / 2));
    }
    seq->showZigzags = 0;
    QVERIFY(Layout(*seq).zigzagStrokes.empty());
  }

  void legend() {
    QImage img(300, 300, QImage::Format_RGB32);
    img.fill(Qt::white);
    QFont font("Courier New");
    font.setPixelSize(16);
    const QFontMetrics fm(font);
    const int cw = fm.averageCharWidth(), lh = fm.height();
    {
      QPainter p(&img);
      TraceHCAlegend(p, 10, 10, font, cw, lh);
    }
    const HcaLegendLayout l = TraceHCAlegendLayout(10, 10, cw, lh);
    const auto& g = l.lines[0].shape;  // diamond, filled
    QVERIFY(Dark(img, g.polygon[0].x, (g.polygon[0].y + g.polygon[2].y) / 2));
    const auto& t = l.lines[3].shape;  // empty square
    QVERIFY(Dark(img, t.squareCentre.x - t.squareHalf, t.squareCentre.y));
    QVERIFY(!Dark(img, t.squareCentre.x, t.squareCentre.y));
    QCOMPARE(l.lines[1].label, std::string("P:"));
  }

  void picturesAsPngAndSvg() {
    QTemporaryDir dir;
    auto a = Build("MVLSPADKTNVKAAWGKVGAHAGEYGAEALERMFLSFPTTKTYFPHF");
    auto b = Build("MVHLTPEEKSAVTALWGKVNVDEVGGEALGRLLVVYPWTQRFFESFG");
    const std::vector<const InfoSeq*> plots{a.get(), b.get()};
    const QString png = dir.filePath("plot.png");
    QVERIFY(SaveHcaPicture(png.toStdString(), plots, res_));
    QImage img(png);
    QCOMPARE(img.size(), HcaPictureSize(plots, res_));
    int dark = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) dark += Dark(img, x, y);
    QVERIFY(dark > 500);
    const QString svg = dir.filePath("plot.svg");
    QVERIFY(SaveHcaPicture(svg.toStdString(), plots, res_));
    QFile f(svg);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    QVERIFY(text.contains("<svg"));
    QVERIFY(text.contains("polyline") || text.contains("polygon") || text.contains("path"));
    QVERIFY(text.trimmed().endsWith("</svg>"));
    // A folder that does not exist: failure, nothing left behind.
    QVERIFY(!SaveHcaPicture(dir.filePath("no/plot.png").toStdString(), plots, res_));
    // A disk that fills up (a file size limit stands in for it): the export
    // fails and the old picture stays whole.
    for (const QString& name : {svg, png}) {
      QFile old(name);
      QVERIFY(old.open(QIODevice::ReadOnly));
      const QByteArray before = old.readAll();
      old.close();
      const pid_t child = fork();
      if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{512, 512};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(SaveHcaPicture(name.toStdString(), plots, res_) ? 1 : 0);
      }
      int status = -1;
      waitpid(child, &status, 0);
      QCOMPARE(status, 0);
      QVERIFY(old.open(QIODevice::ReadOnly));
      QCOMPARE(old.readAll(), before);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 2);
  }
};

QTEST_MAIN(HcaDrawTest)
#include "hca_draw_test.moc"
