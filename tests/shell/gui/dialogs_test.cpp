#include <QCheckBox>
#include <QListView>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include "../view_fixture.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/base/colours.h"
#include "vistram/shell/gui/colours_dialog.h"
#include "vistram/shell/gui/display.h"
#include "vistram/shell/gui/gui_parameters_dialog.h"
#include "vistram/shell/gui/pairwise_view.h"
#include "vistram/shell/gui/result_list.h"

class DialogsTest : public QObject {
  Q_OBJECT

 private:
  RecordingPlatform platform_;

  // Runs `act` on the modal dialog once it is open.
  template <typename Dialog, typename Act>
  static void WhenOpen(Act act) {
    QTimer::singleShot(0, [act] {
      auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
      QVERIFY(d != nullptr);
      act(*d);
    });
  }

 private slots:
  void init() {
    platform_.Clear();
    SetCurrentPlatform(&platform_);
  }
  void cleanup() { SetCurrentPlatform(nullptr); }

  void coloursDialogShowsAndTakesTheChoice() {
    DataProgram dp;
    dp.colourCode = kColourIdentity;
    dp.useBackground = 0;
    WhenOpen<ColoursDialog>([](ColoursDialog& d) {
      d.BlackWhiteButton()->setChecked(true);
      d.BackgroundBox()->setChecked(true);
      d.reject();
    });
    QVERIFY(!ChooseColourCode(nullptr, dp));
    QCOMPARE(dp.colourCode, kColourIdentity);
    QCOMPARE(dp.useBackground, 0);
    WhenOpen<ColoursDialog>([](ColoursDialog& d) {
      d.BlackWhiteButton()->setChecked(true);
      d.BackgroundBox()->setChecked(true);
      d.accept();
    });
    QVERIFY(ChooseColourCode(nullptr, dp));
    QCOMPARE(dp.colourCode, kColourBlackWhite);
    QCOMPARE(dp.useBackground, 1);
  }

  void arrowsStayWithinTheLimitsButTypingDoesNot() {
    ArrowField f(kMinFontSize, kMaxFontSize, nullptr);
    f.setValue(13);
    f.stepBy(1);
    f.stepBy(1);
    QCOMPARE(f.value(), 14);
    f.setValue(7);
    f.stepBy(-5);
    QCOMPARE(f.value(), 6);
    f.setValue(30);  // typed
    QCOMPARE(f.value(), 30);
  }

  void guiParametersAreRefusedFieldByFieldInOrder() {
    GuiPreferences prefs;
    prefs.listFontSize = 9;
    prefs.listLines = 3;
    prefs.viewerFontSize = 11;
    GuiParametersDialog d(prefs, nullptr);
    QCOMPARE(d.ListLinesField()->value(), 3);

    d.ViewerFontField()->setValue(15);
    d.ListLinesField()->setValue(0);
    d.accept();
    QCOMPARE(d.result(), int(QDialog::Rejected));  // still open
    QCOMPARE(platform_.Messages().size(), size_t(1));
    QCOMPARE(QString::fromStdString(platform_.Messages()[0].text), QString("Font size must be in the range \n6 to 14.\nPlease retry."));
    QCOMPARE(d.focusWidget(), d.ViewerFontField());

    d.ViewerFontField()->setValue(14);
    d.accept();
    QCOMPARE(QString::fromStdString(platform_.Messages().back().text),
             QString("Number of lines for the ListBox\nmust be in the range 1 to 4.\nPlease Retry."));
    QCOMPARE(d.focusWidget(), d.ListLinesField());

    d.ListLinesField()->setValue(1);
    d.accept();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(platform_.Messages().size(), size_t(2));
  }

  void newParametersApplyForTheRunAndKeepTheSelectedRow() {
    DataProgram dp;
    FillWorkingSet(dp, 50);
    DisplayResources display;
    QVERIFY(CreateFonts(display, dp.prefs, 96, nullptr));
    ResultListModel model(dp);
    ResultListDelegate delegate;
    delegate.SetFont(display.listFont, display.listCharWidth, display.listLineHeight, dp.prefs.listLines);
    QListView list;
    ConfigureResultList(&list, &model, &delegate);
    PairwiseView viewer;
    list.resize(600, 300);
    list.show();
    FillResultList(&list, &model, 7);
    const int oldHeight = delegate.ItemHeight();
    const int oldWidth = display.viewerCharWidth;

    WhenOpen<GuiParametersDialog>([](GuiParametersDialog& d) {
      d.ListFontField()->setValue(8);
      d.ListLinesField()->setValue(4);
      d.ViewerFontField()->setValue(14);
      d.accept();
    });
    QVERIFY(ShowGuiParametersDialog(nullptr, dp.prefs));
    QCOMPARE(dp.prefs.listFontSize, 8);
    QCOMPARE(dp.prefs.listLines, 4);
    QCOMPARE(dp.prefs.viewerFontSize, 14);
    QVERIFY(ApplyGuiParameters(dp, display, nullptr, &list, &model, &delegate, &viewer));
    QCOMPARE(delegate.ItemHeight(), 4 * display.listLineHeight + 4);
    QVERIFY(delegate.ItemHeight() != oldHeight);
    QVERIFY(display.viewerCharWidth > oldWidth);
    QCOMPARE(list.currentIndex().row(), 7);

    // Cancel changes nothing.
    WhenOpen<GuiParametersDialog>([](GuiParametersDialog& d) {
      d.ListFontField()->setValue(6);
      d.reject();
    });
    QVERIFY(!ShowGuiParametersDialog(nullptr, dp.prefs));
    QCOMPARE(dp.prefs.listFontSize, 8);
    QVERIFY(platform_.Messages().empty());
  }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
