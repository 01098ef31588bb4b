// The map window on a real report, offscreen, in one session, and its SVG and PNG pictures.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>

#include "shell/gui/main_window_fixture.h"
#include "vistram/base/command_ids.h"
#include "vistram/mapper/gui/map_draw.h"
#include "vistram/mapper/gui/map_window.h"
#include "vistram/shell/main_commands.h"

class MapWindowTest : public MainWindowFixture {
  Q_OBJECT

  StatBlaWindow* OpenMap() {
    w_->MainWndProc_OnCommand(kCmdMapper);
    if (w_->MapWindow() != nullptr) w_->MapWindow()->resize(900, 600);
    return QCoreApplication::processEvents(), w_->MapWindow();
  }

 private slots:
  void oneSession() {
    StartWindow();
    OpenByPath(QString(VISTRAM_TEST_DATA_DIR) + "/blast/blast_legacy_text_ncbi/bioperl_ex_blastp.1.txt");
    QAction* action = w_->CommandAction(kCmdMapper);
    QVERIFY(OpenMap() == nullptr && !action->isChecked());  // nothing selected: refused
    SelectAllAlignments(w_->Data());
    StatBlaWindow* map = OpenMap();
    QVERIFY(map != nullptr && action->isChecked());
    QCOMPARE(map->windowTitle(), QString("Vistram - map of all sequences [bioperl_ex_blastp.1.txt]"));
    StatData& s = map->Stat();
    QCOMPARE(s.entries.size(), std::size_t{212});
    for (bool sorted : {true, false}) {  // by query start, then back in hit order
      map->CommandAction(kCmdMapSort)->trigger();
      QVERIFY(s.sorted == sorted && std::is_sorted(s.entries.begin(), s.entries.end(), [&](auto& a, auto& b) { return sorted ? a->queryStart < b->queryStart : a->hitNumber < b->hitNumber; }));
    }
    QScrollBar* bar = map->BarsScrollBar();
    const int q = static_cast<int>(s.pageSize);
    QVERIFY(bar->isEnabled() && q > 2 && bar->maximum() == 212 - q + 2);
    for (auto [key, first] : {std::pair{Qt::Key_PageDown, q}, {Qt::Key_Down, q + 1}, {Qt::Key_Right, q + 2}, {Qt::Key_Left, q + 1},
                              {Qt::Key_End, bar->maximum()}, {Qt::Key_PageUp, bar->maximum() - q}, {Qt::Key_Home, 0}}) {
      QTest::keyClick(map, key);
      QVERIFY(s.first == std::uint32_t(first) && bar->value() == first);
    }
    bar->setValue(7);  // the thumb, then back
    QCOMPARE(s.first, 7U);
    bar->setValue(0);

    // The position tip: hidden in the margin; at L, its coverage and identity, on yellow above the bars.
    const MapScale scale = map->BarsScale();
    const int lh = map->Style().f.lh;
    QTest::mousePress(map->HistogramPane(), Qt::LeftButton, {}, QPoint(scale.m - 2, 10));
    QVERIFY(map->Tracking() && map->PositionTip() != nullptr && !map->PositionTip()->isVisible());
    QTest::mouseMove(map->HistogramPane(), QPoint(scale.X(s.L), 10));
    QCOMPARE(map->PositionTipText(), QString::fromStdString(StatTrackText(s, std::to_string(s.L))));
    QVERIFY(map->PositionTip()->geometry().bottom() + 1 == map->BarsPane()->y() && QColor(map->PositionTip()->grab().toImage().pixel(1, 1)) == kMapTipYellow);
    QTest::mouseRelease(map->HistogramPane(), Qt::LeftButton, {}, QPoint(scale.X(s.L), 10));
    QVERIFY(!map->Tracking() && map->PositionTip() == nullptr);
    // Pressing the first bar shows its description above it; beside every bar, nothing.
    const MapRect first = MapBarRect(*s.entries[0], scale, 0, lh);
    QTest::mousePress(map->BarsPane(), Qt::LeftButton, {}, QPoint((first.left + first.right) / 2, first.top + 1));
    QVERIFY(map->DescriptionTip() != nullptr && map->DescriptionTip()->geometry().bottom() + 1 == map->BarsPane()->y() + first.top);
    QTest::mouseRelease(map->BarsPane(), Qt::LeftButton, {}, QPoint(first.left + 1, first.top + 1));
    QTest::mousePress(map->BarsPane(), Qt::LeftButton, {}, QPoint(2, first.top + 1));
    QVERIFY(map->DescriptionTip() == nullptr);
    const QImage bars = map->BarsPane()->grab().toImage();  // each bar in its score class's colour
    for (std::size_t i = 0; i < s.pageSize; ++i) {
      const int cls = ScoreClassOf(s, s.entries[i]->score);
      const MapRect r = MapBarRect(*s.entries[i], scale, static_cast<int>(i) * lh, lh);
      if (cls >= 0 && r.Width() >= 4)
        QCOMPARE(QColor(bars.pixel((r.left + r.right) / 2, (r.top + r.bottom) / 2)), ScoreClassColour(s.classes[static_cast<std::size_t>(cls)]));
    }
    // The Scale dialog: ticks from 50 to 10, guide lines off; a ruler line then stands at position 10.
    OnNextDialog([](QDialog* d) {
      QCOMPARE(d->findChild<QLineEdit*>("ticks")->text(), QString("50"));
      d->findChild<QLineEdit*>("ticks")->setText("10"), d->findChild<QCheckBox*>("displayLines")->setChecked(false), d->accept();
    });
    map->CommandAction(kCmdMapScale)->trigger();
    QVERIFY(s.scaleTicks == 10U && !s.displayLines);
    QCOMPARE(QColor(map->Canvas()->grab().toImage().pixel(30 * map->Style().f.cw + 2 + scale.X(10), 6 * lh - 2)), QColor(Qt::black));

    // Pictures: the SVG holds one outlined bar per alignment below the ruler band; the PNG's size; refusal; Save as image.
    const QString svg = dir_.filePath("map.svg"), png = dir_.filePath("map.png"), chosen = dir_.filePath("chosen.png");
    std::string error;
    QFile svgFile(svg);
    QVERIFY(WriteMapPictureForBatch(svg.toStdString(), s, 12, error) && WriteMapPictureForBatch(png.toStdString(), s, 12, error) && svgFile.open(QIODevice::ReadOnly));
    const int fontLh = MeasureMapFont(MakeMapFont(12, 96)).lh;
    const QRegularExpression outlined("<rect vector-effect=\"non-scaling-stroke\" x=\"-?\\d+\" y=\"(\\d+)\"");
    std::size_t outlinedBars = 0;
    for (auto r = outlined.globalMatch(QString::fromUtf8(svgFile.readAll())); r.hasNext();) outlinedBars += r.next().captured(1).toInt() >= 6 * fontLh;
    QCOMPARE(outlinedBars, s.entries.size());
    QCOMPARE(QImage(png).size(), QSize(kMapPictureWidth, 6 * fontLh + 213 * fontLh));
    QVERIFY(!WriteMapPictureForBatch(dir_.filePath("none/map.svg").toStdString(), s, 12, error) &&
            QString::fromStdString(error) == "Unable to write the file :\n" + dir_.filePath("none/map.svg") + ".");
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, chosen.toStdString(), "chosen.png"});
    map->CommandAction(kCmdMapSaveImage)->trigger();
    QCOMPARE(QImage(chosen).size(), QImage(png).size());

    // A new command replaces the map with one of the current selection; Exit closes it; mixed results are refused.
    QPointer<StatBlaWindow> old = map;
    UnselectAllAlignments(w_->Data()), w_->Data().hits->front()->selected[0] = 1;
    map = OpenMap();
    QVERIFY(old.isNull() && map->windowTitle().startsWith("Vistram - map of selected sequences ["));
    QVERIFY(map->Stat().entries.size() == 1 && !map->BarsScrollBar()->isEnabled());
    map->StatBlaWndProc_OnCommand(kCmdExit), QCoreApplication::processEvents();
    QVERIFY(w_->MapWindow() == nullptr && !action->isChecked());
    w_->Data().header.resultType = kResultMixed;
    QVERIFY(OpenMap() == nullptr && platform_.Messages().size() == 2);
    QCOMPARE(platform_.Messages()[0].caption + "|" + platform_.Messages()[0].text + "|" + platform_.Messages()[1].text,
             std::string("Mapper|No sequences selected.|Unable to construct a multiple sequence\n alignment with mixed results."));
    StopWindow();
  }
};

QTEST_MAIN(MapWindowTest)
#include "map_window_test.moc"
