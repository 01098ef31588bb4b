#include <QListView>
#include <QPainter>
#include <QtTest>

#include "../view_fixture.h"
#include "gui_test_support.h"
#include "vistram/shell/gui/display.h"
#include "vistram/shell/gui/result_list.h"

class ResultListTest : public QObject {
  Q_OBJECT

  DisplayResources display_;
  int cw_ = 0;

  QImage Render(const ResultListDelegate& delegate, const HspData& hit, bool selected, int width) {
    QImage image(width, delegate.ItemHeight(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    delegate.DrawItem(&painter, image.rect(), hit, selected, Qt::white);
    return image;
  }
  QRect Band(int x1, int x2, int height) const { return QRect(x1, 0, x2 - x1, height); }

 private slots:
  void initTestCase() {
    GuiPreferences prefs;
    QVERIFY(CreateFonts(display_, prefs, 96, nullptr));
    display_.listFont = Crisp(display_.listFont);
    cw_ = display_.listCharWidth;
    QVERIFY(QFontInfo(display_.listFont).fixedPitch());
  }

  void drawsEveryPartInItsBandAndColour() {
    DataProgram dp;
    FillWorkingSet(dp, 3, 2);
    HspData& hit = *(*dp.hits)[1];
    hit.selected[1] = 1;
    ResultListDelegate delegate;
    delegate.SetFont(display_.listFont, cw_, display_.listLineHeight, 2);
    QCOMPARE(delegate.ItemHeight(), 2 * display_.listLineHeight + 4);
    const int w = 100 * cw_;
    QImage image = Render(delegate, hit, false, w);
    const int h = image.height();
    const QRect number = Band(cw_, 6 * cw_, h), id = Band(7 * cw_, 27 * cw_, h), text = Band(28 * cw_, w - 18 * cw_, h),
                score = Band(w - 15 * cw_, w - 10 * cw_, h);
    QCOMPARE(image.pixelColor(w - 1, 0), QColor(Qt::white));  // the whole item is filled
    const std::pair<QRect, QColor> parts[] = {{Band(0, cw_, h), QColor(255, 0, 0)},  // selection mark
                                              {number, Qt::black},
                                              {id, QColor(40, 60, 100)},
                                              {text, QColor(0, 0, 255)},
                                              {score, QColor(100, 40, 0)},
                                              {Band(w - 8 * cw_, w, h - 4), Qt::black}};  // expect
    for (const auto& [band, colour] : parts) QVERIFY2(CountColour(image, band, colour) > 0, qPrintable(colour.name()));
    QCOMPARE(CountColour(image, Band(27 * cw_ + 1, 28 * cw_, h - 4), QColor(40, 60, 100)), 0);  // between the bands
    // The separator one pixel above the text area's bottom edge.
    QCOMPARE(CountColour(image, QRect(2, h - 3, w - 4, 1), Qt::black), w - 4);

    // The description wraps onto the second line.
    hit.description.clear();
    for (int i = 0; i < 60; ++i) hit.description += "KINASE ";
    image = Render(delegate, hit, false, w);
    const int lh = display_.listLineHeight;
    QVERIFY(CountColour(image, QRect(28 * cw_, 2 + lh, w - 46 * cw_, lh), QColor(0, 0, 255)) > 0);

    // Selected: white on navy; a hit without selected alignments has no mark.
    image = Render(delegate, *(*dp.hits)[0], true, w);
    QCOMPARE(image.pixelColor(0, 0), QColor(0, 0, 128));
    QCOMPARE(CountColour(image, Band(0, cw_, h), QColor(255, 0, 0)), 0);
    for (const QRect& band : {number, id, text, score})
      QVERIFY(CountColour(image, band, Qt::white) > 0 && CountColour(image, band, QColor(0, 0, 255)) == 0);

    // The focus frame is grey only with the focus.
    image = QImage(200, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    ResultListDelegate::DrawFocusFrame(&painter, image.rect(), true, Qt::white);
    for (const QPoint& p : {QPoint(1, 20), QPoint(198, 20), QPoint(100, 38)}) QCOMPARE(image.pixelColor(p), QColor(128, 128, 128));
    QCOMPARE(image.pixelColor(0, 20), QColor(Qt::white));
    ResultListDelegate::DrawFocusFrame(&painter, image.rect(), false, Qt::white);
    QCOMPARE(image.pixelColor(1, 20), QColor(Qt::white));
  }

  void modelAndViewOverAHundredThousandHits() {
    DataProgram dp;
    ResultListModel model(dp);
    FillWorkingSet(dp, 100000);
    QCOMPARE(model.rowCount(), 0);  // until the views are told
    model.Reset();
    QCOMPARE(model.rowCount(), 100000);
    QCOMPARE(model.HitAt(99999), (*dp.hits)[99999].get());
    QCOMPARE(model.data(model.index(4)).toString(), QString("SP|P10005 HYPOTHETICAL PROTEIN 5 FROM A GENOME PROJECT"));
    QVERIFY(model.HitAt(100000) == nullptr);

    ResultListDelegate delegate;
    delegate.SetFont(display_.listFont, cw_, display_.listLineHeight, 2);
    QListView view;
    ConfigureResultList(&view, &model, &delegate);
    view.resize(100 * cw_, 10 * delegate.ItemHeight());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    FillResultList(&view, &model, 2);
    QCOMPARE(view.currentIndex().row(), 2);
    const QImage image = view.viewport()->grab().toImage();
    const int h = delegate.ItemHeight(), x = view.viewport()->width() - 20;
    // Row 3 is selected (navy) across the viewport's width, row 1 is not.
    QCOMPARE(image.pixelColor(x, 2 * h + h / 2), QColor(0, 0, 128));
    QVERIFY(image.pixelColor(x, h / 2) != QColor(0, 0, 128));
    QVERIFY(CountColour(image, QRect(cw_, 0, 5 * cw_, h), Qt::black) > 0);
    FillResultList(&view, &model, 99999);
    QCOMPARE(view.currentIndex().row(), 99999);
    QVERIFY(view.visualRect(view.currentIndex()).intersects(view.viewport()->rect()));

    // The working set emptied before the reset reaches the model: no row reads freed hits.
    dp.hits->resize(10);
    QVERIFY(model.HitAt(50) == nullptr);
    dp.hits.reset();
    dp.viewHitCount = 0;
    model.Reset();
    QCOMPARE(model.rowCount(), 0);
  }
};

QTEST_MAIN(ResultListTest)
#include "result_list_test.moc"
