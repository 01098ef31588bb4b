#include <QPushButton>
#include <QScrollBar>
#include <QtTest>
#include <filesystem>

#include "../view_fixture.h"
#include "gui_test_support.h"
#include "support/temp_folder.h"
#include "vistram/base/colours.h"
#include "vistram/results/blast_parser.h"
#include "vistram/results/report_kind.h"
#include "vistram/shell/gui/display.h"
#include "vistram/shell/gui/pairwise_view.h"

class PairwiseViewTest : public QObject {
  Q_OBJECT

  DisplayResources display_;
  int cw_ = 0, lh_ = 0;
  test_support::TempFolder folder_;
  const std::string cfg_ = folder_.Write("vistram.cfg",
                                         "[Couleurs_HCA]\nV=9\nP=1\nK=4\nD=2\n[Couleur_Fond_HCA]\nV=5\nP=2\n"
                                         "[Couleurs_SimIden]\nIDENT=2\nSIMIL=4\nAUTRE=0\n[Couleur_Fond_SimIden]\nV=14\n");

  // Query residue 10 is column 5; subject residue 10 is column 9, 20 would fall on a gap.
  static std::unique_ptr<VisualHaspData> Hsp(DataProgram&, int hit, int alignment) {
    auto v = MakeView("VPKDVAVPKDVAVPKDVAVPKDVAVPKD", "V+ D V+ KD AVP+  A+ P  VA+PK", "VIRDAVLPKDVA-PRDVAVPKEVAVPKD", 5, 1);
    v->hitNumber = hit;
    v->alignmentNumber = alignment;
    return v;
  }
  std::unique_ptr<PairwiseView> MakeWidget(DataProgram& dp, int width, const HspReader& reader = Hsp) {
    auto view = std::make_unique<PairwiseView>();
    view->SetViewerFont(display_.viewerFont, cw_, lh_);
    view->resize(width, 8 * lh_);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get())) return nullptr;
    view->ShowHsp(dp, 1, 1, reader);
    return view;
  }
  static QImage Grab(PairwiseView& view) { return view.Canvas()->grab().toImage(); }
  // The cell of column k in line `row` (0 query, 1 match, 2 subject) at scroll position -2.
  QRect Cell(int k, int row) const { return QRect(cw_ * (k + 3) - cw_ / 2, (3 * lh_) / 2 + row * lh_, cw_, lh_); }
  QColor Back(const QImage& image, int k, int row) const { return image.pixelColor(Cell(k, row).topLeft()); }
  bool Has(const QImage& image, int k, int row, const QColor& c) const { return CountColour(image, Cell(k, row), c) > 0; }

 private slots:
  void initTestCase() {
    GuiPreferences prefs;
    QVERIFY(CreateFonts(display_, prefs, 96, nullptr));
    display_.viewerFont = Crisp(display_.viewerFont);
    cw_ = display_.viewerCharWidth;
    lh_ = display_.viewerLineHeight;
  }

  void everyColourCodeIsPaintedWithTheBackgroundSwitch() {
    DataProgram dp;
    dp.configPath = cfg_;
    auto view = MakeWidget(dp, 60 * cw_);
    QVERIFY(view && dp.viewer);
    const QColor red(255, 0, 0), yellow(255, 255, 0), green(0, 128, 0), blue(0, 0, 255), white(Qt::white), black(Qt::black);
    QImage image = Grab(*view);
    // HCA: P white on red, V dark green on yellow, D red on white; identities white on black.
    QVERIFY(Back(image, 1, 0) == red && Has(image, 1, 0, white));
    QVERIFY(Back(image, 0, 0) == yellow && Has(image, 0, 0, green));
    QVERIFY(Back(image, 3, 0) == white && Has(image, 3, 0, red));
    QVERIFY(Back(image, 0, 1) == black && Has(image, 0, 1, white));
    QCOMPARE(Back(image, 1, 1), white);   // '+': black on white
    QCOMPARE(Back(image, 12, 2), white);  // the subject's gap
    dp.useBackground = 0;
    view->Refresh();
    image = Grab(*view);
    QVERIFY(Back(image, 1, 0) == white && Back(image, 0, 0) == white && Has(image, 0, 0, green));

    // Identity: column 0 identity (red), 1 similarity (blue), 2 other (black).
    dp.colourCode = kColourIdentity;
    dp.useBackground = 1;
    view->Refresh();
    image = Grab(*view);
    QVERIFY(Has(image, 0, 0, red) && Has(image, 0, 2, red) && Has(image, 1, 0, blue) && Has(image, 1, 2, blue));
    QVERIFY(Has(image, 2, 0, black) && !Has(image, 2, 0, red));
    QCOMPARE(Back(image, 0, 0), QColor(192, 192, 192));
    QCOMPARE(Back(image, 0, 1), white);  // match line black on white

    dp.colourCode = kColourBlackWhite;
    view->Refresh();
    image = Grab(*view);
    for (int k = 0; k < 6; ++k) QVERIFY(Back(image, k, 0) == white && Back(image, k, 2) == white && !Has(image, k, 0, red));
    QCOMPARE(Back(image, 0, 1), black);
  }

  void numbersTicksAndScrolling() {
    DataProgram dp;
    dp.configPath = cfg_;
    auto wide = MakeWidget(dp, 40 * cw_);
    QVERIFY(wide);
    QVERIFY(!wide->HorizontalScrollBar()->isEnabled());
    const QImage image = Grab(*wide);
    // Query 10 at column 5: its number above and its tick; none at column 3.
    const int y0 = (3 * lh_) / 2, x5 = cw_ * 8;
    QVERIFY(CountColour(image, QRect(x5 - cw_, y0 - lh_, 2 * cw_, lh_ - 3), Qt::black) > 0);
    QCOMPARE(image.pixelColor(x5, y0 - 2), QColor(Qt::black));
    QCOMPARE(CountColour(image, QRect(cw_ * 6 - cw_ / 2, y0 - lh_, cw_, lh_ - 3), Qt::black), 0);
    // The first column three widths in.
    QCOMPARE(image.pixelColor(3 * cw_ - cw_ / 2 - 1, y0), QColor(Qt::white));

    // 28 columns in about 10: scrolling from -2 to n - v + 2, by pages and tenths.
    auto narrow = MakeWidget(dp, 10 * cw_ + 4);
    QVERIFY(narrow);
    const PairwiseScroll s = narrow->Scroll();
    QScrollBar* bar = narrow->HorizontalScrollBar();
    QVERIFY(s.enabled && bar->isEnabled());
    QCOMPARE(bar->minimum(), -2);
    QCOMPARE(bar->maximum(), 28 - s.visibleColumns + 2);
    QCOMPARE(narrow->ScrollPosition(), -2);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(narrow->ScrollPosition(), -2 + s.visibleColumns);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(narrow->ScrollPosition(), -2 + s.visibleColumns - s.visibleColumns / 10);
    QCOMPARE(bar->value(), narrow->ScrollPosition());

    // A reader without a record: the view empty, the buttons off.
    FillWorkingSet(dp, 2, 3);
    QPushButton previous, next;
    dp.viewer->alignmentNumber = 2;
    UpdateHspButtonWidgets(dp, &previous, &next);
    QVERIFY(previous.isEnabled() && next.isEnabled());
    QVERIFY(!narrow->ShowHsp(dp, 2, 1, [](DataProgram&, int, int) { return std::unique_ptr<VisualHaspData>(); }));
    QVERIFY(!dp.viewer);
    QVERIFY(!bar->isEnabled());
    UpdateHspButtonWidgets(dp, &previous, &next);
    QVERIFY(!previous.isEnabled() && !next.isEnabled());
    const QImage empty = Grab(*narrow);
    QCOMPARE(CountColour(empty, empty.rect(), Qt::white), empty.width() * empty.height());
  }

  void showsAnAlignmentOfARealReportWithTheShippedColours() {
    // The first HSP of the sample report: query and subject from 1, identical over 60 residues.
    DataProgram dp;
    dp.configPath = ShippedConfigPath();
    dp.colourCode = kColourIdentity;
    const std::string report = std::filesystem::path(ShippedConfigPath()).replace_filename("sample.bla");
    QCOMPARE(LitBlastForListBox(nullptr, nullptr, dp, report, kReportBlastText), 1);
    auto view = MakeWidget(dp, 70 * cw_, [](DataProgram& d, int h, int a) { return LitUnAlignHsp(nullptr, h, a, d); });
    QVERIFY(view && dp.viewer);
    QVERIFY(view->HorizontalScrollBar()->isEnabled());
    const QImage image = Grab(*view);  // painted: the drawing is laid out
    QStringList numbers;
    for (const auto& t : view->LastDrawing().texts)
      if (t.kind == PairwiseText::Number && t.column < 30) numbers << QString("%1@%2").arg(QString::fromStdString(t.text)).arg(t.column);
    QCOMPARE(numbers, (QStringList{"10@9", "10@9", "20@19", "20@19", "30@29", "30@29"}));
    QVERIFY(Has(image, 0, 0, QColor(255, 0, 0)) && Has(image, 0, 2, QColor(255, 0, 0)));  // "M", identical: red
    FreeHspData(dp);
  }
};

QTEST_MAIN(PairwiseViewTest)
#include "pairwise_view_test.moc"
