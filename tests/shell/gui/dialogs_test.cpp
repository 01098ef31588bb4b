#include <QCheckBox>
#include <QListView>
#include <QRadioButton>
#include <QtTest>

#include "../view_fixture.h"
#include "support/next_dialog.h"
#include "vistram/base/colours.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/shell/gui/colours_dialog.h"
#include "vistram/shell/gui/display.h"
#include "vistram/shell/gui/gui_parameters_dialog.h"
#include "vistram/shell/gui/pairwise_view.h"
#include "vistram/shell/gui/result_list.h"

class DialogsTest : public QObject {
  Q_OBJECT

  RecordingPlatform platform_;

  QStringList Messages() const {
    QStringList out;
    for (const auto& m : platform_.Messages()) out << QString::fromStdString(m.text);
    return out;
  }

 private slots:
  void init() {
    platform_.Clear();
    SetCurrentPlatform(&platform_);
  }
  void cleanup() { SetCurrentPlatform(nullptr); }

  void coloursDialogTakesTheChoiceOnlyOnOk() {
    DataProgram dp;
    dp.colourCode = kColourIdentity;
    dp.useBackground = 0;
    for (bool ok : {false, true}) {
      OnNextDialog([ok](QDialog* d) {
        auto* dialog = qobject_cast<ColoursDialog*>(d);
        QVERIFY(dialog != nullptr);
        dialog->BlackWhiteButton()->setChecked(true);
        dialog->BackgroundBox()->setChecked(true);
        ok ? dialog->accept() : dialog->reject();
      });
      QCOMPARE(ChooseColourCode(nullptr, dp), ok);
      QCOMPARE(dp.colourCode, ok ? kColourBlackWhite : kColourIdentity);
      QCOMPARE(dp.useBackground, ok ? 1 : 0);
    }
  }

  void guiParametersAreRefusedFieldByFieldInOrder() {
    // The arrows stay within the limits, typing does not.
    ArrowField f(kMinFontSize, kMaxFontSize, nullptr);
    f.setValue(13);
    f.stepBy(1);
    f.stepBy(1);
    QCOMPARE(f.value(), 14);
    f.setValue(7);
    f.stepBy(-5);
    QCOMPARE(f.value(), 6);
    f.setValue(30);
    QCOMPARE(f.value(), 30);

    GuiPreferences prefs;
    prefs.listLines = 3;
    GuiParametersDialog d(prefs, nullptr);
    QCOMPARE(d.ListLinesField()->value(), 3);
    d.ViewerFontField()->setValue(15);
    d.ListLinesField()->setValue(0);
    d.accept();
    QCOMPARE(d.result(), int(QDialog::Rejected));  // still open
    QCOMPARE(Messages(), QStringList({"Font size must be in the range \n6 to 14.\nPlease retry."}));
    QCOMPARE(d.focusWidget(), d.ViewerFontField());
    d.ViewerFontField()->setValue(14);
    d.accept();
    QCOMPARE(Messages().back(), QString("Number of lines for the ListBox\nmust be in the range 1 to 4.\nPlease Retry."));
    QCOMPARE(d.focusWidget(), d.ListLinesField());
    d.ListLinesField()->setValue(1);
    d.accept();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(Messages().size(), qsizetype(2));
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
    const int oldHeight = delegate.ItemHeight(), oldWidth = display.viewerCharWidth;
    const auto answer = [](int listFont, bool ok) {
      OnNextDialog([=](QDialog* d) {
        auto* dialog = qobject_cast<GuiParametersDialog*>(d);
        QVERIFY(dialog != nullptr);
        dialog->ListFontField()->setValue(listFont);
        dialog->ListLinesField()->setValue(4);
        dialog->ViewerFontField()->setValue(14);
        ok ? dialog->accept() : dialog->reject();
      });
    };
    answer(8, true);
    QVERIFY(ShowGuiParametersDialog(nullptr, dp.prefs));
    QVERIFY(std::vector<int>({dp.prefs.listFontSize, dp.prefs.listLines, dp.prefs.viewerFontSize}) == std::vector<int>({8, 4, 14}));
    QVERIFY(ApplyGuiParameters(dp, display, nullptr, &list, &model, &delegate, &viewer));
    QCOMPARE(delegate.ItemHeight(), 4 * display.listLineHeight + 4);
    QVERIFY(delegate.ItemHeight() != oldHeight);
    QVERIFY(display.viewerCharWidth > oldWidth);
    QCOMPARE(list.currentIndex().row(), 7);
    answer(6, false);  // cancel changes nothing
    QVERIFY(!ShowGuiParametersDialog(nullptr, dp.prefs));
    QCOMPARE(dp.prefs.listFontSize, 8);
    QVERIFY(platform_.Messages().empty());
  }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
