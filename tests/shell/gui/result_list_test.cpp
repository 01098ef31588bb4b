#include <QListView>
#include <QPainter>
#include <QtTest>

#include "../view_fixture.h"
#include "gui_test_support.h"
#include "vistram/shell/gui/display.h"
#include "vistram/shell/gui/result_list.h"

class ResultListTest : public QObject {
  Q_OBJECT

 private:
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
    QVERIFY(cw_ > 0);
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
    const QImage image = Render(delegate, hit, false, w);
    const int h = image.height();

    QCOMPARE(image.pixelColor(w - 1, 0), QColor(Qt::white));  // the whole item is filled
    QVERIFY(CountColour(image, Band(0, cw_, h), QColor(255, 0, 0)) > 0);            // selection mark
    QVERIFY(CountColour(image, Band(cw_, 6 * cw_, h), Qt::black) > 0);              // number
    QVERIFY(CountColour(image, Band(7 * cw_, 27 * cw_, h), QColor(40, 60, 100)) > 0);  // identifier
    QVERIFY(CountColour(image, Band(28 * cw_, w - 18 * cw_, h), QColor(0, 0, 255)) > 0);  // description
    QVERIFY(CountColour(image, Band(w - 15 * cw_, w - 10 * cw_, h), QColor(100, 40, 0)) > 0);  // score
    QVERIFY(CountColour(image, Band(w - 8 * cw_, w, h - 4), Qt::black) > 0);        // expect
    // Nothing between the identifier and the description bands, or the score and expect ones.
    QCOMPARE(CountColour(image, Band(27 * cw_ + 1, 28 * cw_, h - 4), QColor(40, 60, 100)), 0);
    // The separator one pixel above the text area's bottom edge.
    QCOMPARE(CountColour(image, QRect(2, h - 3, w - 4, 1), Qt::black), w - 4);

    // The description wraps onto the second line.
    hit.description.clear();
    for (int i = 0; i < 60; ++i) hit.description += "KINASE ";
    const QImage wrapped = Render(delegate, hit, false, w);
    const int lh = display_.listLineHeight;
    QVERIFY(CountColour(wrapped, QRect(28 * cw_, 2 + lh, w - 46 * cw_, lh), QColor(0, 0, 255)) > 0);
  }

  void selectedItemsAreWhiteOnNavyAndUnmarkedHitsHaveNoMark() {
    DataProgram dp;
    FillWorkingSet(dp, 1, 1);
    const HspData& hit = *(*dp.hits)[0];
    ResultListDelegate delegate;
    delegate.SetFont(display_.listFont, cw_, display_.listLineHeight, 1);
    const int w = 90 * cw_;
    const QImage image = Render(delegate, hit, true, w);
    const int h = image.height();
    QCOMPARE(image.pixelColor(0, 0), QColor(0, 0, 128));
    QCOMPARE(CountColour(image, Band(0, cw_, h), QColor(255, 0, 0)), 0);
    for (const QRect& band : {Band(cw_, 6 * cw_, h), Band(7 * cw_, 27 * cw_, h), Band(28 * cw_, w - 18 * cw_, h),
                              Band(w - 15 * cw_, w - 10 * cw_, h)}) {
      QVERIFY(CountColour(image, band, Qt::white) > 0);
      QCOMPARE(CountColour(image, band, QColor(0, 0, 255)), 0);
    }
  }

  void focusFrameIsGreyOnlyWithTheFocus() {
    QImage image(200, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    ResultListDelegate::DrawFocusFrame(&painter, image.rect(), true, Qt::white);
    QCOMPARE(image.pixelColor(1, 20), QColor(128, 128, 128));
    QCOMPARE(image.pixelColor(198, 20), QColor(128, 128, 128));
    QCOMPARE(image.pixelColor(100, 38), QColor(128, 128, 128));
    QCOMPARE(image.pixelColor(0, 20), QColor(Qt::white));
    ResultListDelegate::DrawFocusFrame(&painter, image.rect(), false, Qt::white);
    QCOMPARE(image.pixelColor(1, 20), QColor(Qt::white));
  }

  void modelReadsTheWorkingSetInPlaceAndFollowsResets() {
    DataProgram dp;
    ResultListModel model(dp);
    QCOMPARE(model.rowCount(), 0);
    FillWorkingSet(dp, 100000);
    QCOMPARE(model.rowCount(), 0);  // until the views are told
    model.Reset();
    QCOMPARE(model.rowCount(), 100000);
    QCOMPARE(model.HitAt(99999), (*dp.hits)[99999].get());
    QCOMPARE(model.data(model.index(4)).toString(), QString("SP|P10005 HYPOTHETICAL PROTEIN 5 FROM A GENOME PROJECT"));
    QVERIFY(model.HitAt(100000) == nullptr);
    // The working set emptied before the reset reaches the model: no row reads freed hits.
    dp.hits->resize(10);
    QVERIFY(model.HitAt(50) == nullptr);
    dp.hits.reset();
    dp.viewHitCount = 0;
    model.Reset();
    QCOMPARE(model.rowCount(), 0);
  }

  void listViewShowsTheSelectedRow() {
    DataProgram dp;
    FillWorkingSet(dp, 100000);
    ResultListModel model(dp);
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
    const int h = delegate.ItemHeight();
    // Row 3 is selected (navy), rows 1 and 2 are not; rows fill the viewport's width.
    const int x = view.viewport()->width() - 20;
    QCOMPARE(image.pixelColor(x, 2 * h + h / 2), QColor(0, 0, 128));
    QVERIFY(image.pixelColor(x, h / 2) != QColor(0, 0, 128));
    QVERIFY(CountColour(image, QRect(cw_, 0, 5 * cw_, h), Qt::black) > 0);
    // The last of 100,000 rows can be reached.
    FillResultList(&view, &model, 99999);
    QCOMPARE(view.currentIndex().row(), 99999);
    QVERIFY(view.visualRect(view.currentIndex()).intersects(view.viewport()->rect()));
  }
};

QTEST_MAIN(ResultListTest)
#include "result_list_test.moc"
