// The map window on a real report, driven on the offscreen platform: command
// 3017 and its refusals, the caption, sorting, scrolling by keys, the two
// tips, the Scale dialog's values, the painted colours, and the map as SVG
// and PNG pictures.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QImage>
#include <QRegularExpression>
#include <QScrollBar>

#include "shell/gui/main_window_fixture.h"
#include "vistram/base/command_ids.h"
#include "vistram/mapper/gui/map_draw.h"
#include "vistram/mapper/gui/map_window.h"
#include "vistram/shell/main_commands.h"

namespace {
QString Report() { return QString(VISTRAM_TEST_DATA_DIR) + "/blast/blast_legacy_text_ncbi/bioperl_ex_blastp.1.txt"; }

std::vector<std::string> MessageTexts(const RecordingPlatform& p) {
  std::vector<std::string> out;
  for (const RecordedMessage& m : p.Messages()) out.push_back(m.caption + "|" + m.text);
  return out;
}

QColor PixelIn(QWidget* w, QPoint at) { return QColor(w->grab().toImage().pixel(at)); }
}  // namespace

class MapWindowTest : public MainWindowFixture {
  Q_OBJECT

  StatBlaWindow* OpenMap() {
    w_->MainWndProc_OnCommand(kCmdMapper);
    StatBlaWindow* map = w_->MapWindow();
    if (map != nullptr) {
      map->resize(900, 600);
      QCoreApplication::processEvents();
    }
    return map;
  }

  // The two tips, the painted bars and the Scale dialog (the map at its top).
  void TipsColoursAndScale(StatBlaWindow* map) {
    const StatData& s = map->Stat();
    const MapScale scale = map->BarsScale();
    const int lh = map->Style().f.lh;
    QWidget* histo = map->HistogramPane();
    QTest::mousePress(histo, Qt::LeftButton, {}, QPoint(scale.m - 2, 10));  // the margin: no position, no tip
    QVERIFY(map->Tracking() && map->PositionTip() != nullptr && !map->PositionTip()->isVisible());
    QTest::mouseMove(histo, QPoint(scale.X(s.L), 10));  // the last position: L, its coverage and identity
    char expected[64];
    std::snprintf(expected, sizeof expected, "%4u/%4u/%5.1f%%", static_cast<unsigned>(s.L),
                  static_cast<unsigned>(s.coverage.back()), static_cast<double>(s.identity.back()));
    QCOMPARE(map->PositionTipText(), QString(expected));
    QCOMPARE(map->PositionTip()->geometry().bottom() + 1, map->BarsPane()->y());
    QCOMPARE(PixelIn(map->PositionTip(), QPoint(1, 1)), kMapTipYellow);
    QTest::mouseRelease(histo, Qt::LeftButton, {}, QPoint(scale.X(s.L), 10));
    QVERIFY(!map->Tracking() && map->PositionTip() == nullptr);
    // Pressing the first bar shows its hit's description above it; beside every bar, nothing.
    const MapRect bar = MapBarRect(*s.entries[0], scale, 0, lh);
    QWidget* bars = map->BarsPane();
    QTest::mousePress(bars, Qt::LeftButton, {}, QPoint((bar.left + bar.right) / 2, bar.top + 1));
    QVERIFY(map->DescriptionTip() != nullptr);
    QCOMPARE(map->DescriptionTip()->geometry().bottom() + 1, bars->y() + bar.top);
    QTest::mouseRelease(bars, Qt::LeftButton, {}, QPoint(bar.left + 1, bar.top + 1));
    QVERIFY(map->DescriptionTip() == nullptr);
    QTest::mousePress(bars, Qt::LeftButton, {}, QPoint(2, bar.top + 1));
    QVERIFY(map->DescriptionTip() == nullptr);
    const QImage barsImage = bars->grab().toImage();
    for (std::size_t i = 0; i < s.pageSize && i < s.entries.size(); ++i) {
      const int cls = ScoreClassOf(s, s.entries[i]->score);
      const MapRect r = MapBarRect(*s.entries[i], scale, static_cast<int>(i) * lh, lh);
      if (cls >= 0 && r.Width() >= 4)
        QCOMPARE(QColor(barsImage.pixel((r.left + r.right) / 2, (r.top + r.bottom) / 2)), ScoreClassColour(s.classes[static_cast<std::size_t>(cls)]));
    }
    // The Scale dialog: "Ticks :" from 50 to 10, the guide lines off; a ruler line then stands at position 10.
    OnNextDialog([](QDialog* d) {
      auto* ticks = d->findChild<QLineEdit*>("ticks");
      QCOMPARE(ticks->text(), QString("50"));
      ticks->setText("10");
      d->findChild<QCheckBox*>("displayLines")->setChecked(false);
      d->accept();
    });
    map->CommandAction(kCmdMapScale)->trigger();
    QVERIFY(s.scaleTicks == 10U && !s.displayLines);
    const QImage canvas = map->Canvas()->grab().toImage();
    QCOMPARE(QColor(canvas.pixel(30 * map->Style().f.cw + 2 + scale.X(10), 6 * lh - 2)), QColor(Qt::black));
  }

 private slots:
  void init() {
    StartWindow();
    OpenByPath(Report());
  }
  void cleanup() { StopWindow(); }

  void oneSession() {
    QAction* action = w_->CommandAction(kCmdMapper);
    QVERIFY(OpenMap() == nullptr && !action->isChecked());  // nothing selected: refused
    SelectAllAlignments(w_->Data());
    StatBlaWindow* map = OpenMap();
    QVERIFY(map != nullptr && action->isChecked());
    QCOMPARE(map->windowTitle(), QString("Vistram - map of all sequences [bioperl_ex_blastp.1.txt]"));
    StatData& s = map->Stat();
    QCOMPARE(s.entries.size(), std::size_t{212});
    map->CommandAction(kCmdMapSort)->trigger();
    for (std::size_t i = 1; i < s.entries.size(); ++i) QVERIFY(s.entries[i - 1]->queryStart <= s.entries[i]->queryStart);
    map->CommandAction(kCmdMapSort)->trigger();
    for (std::size_t i = 1; i < s.entries.size(); ++i) QVERIFY(s.entries[i - 1]->hitNumber <= s.entries[i]->hitNumber);
    // Scrolling by keys and by the thumb.
    QScrollBar* bar = map->BarsScrollBar();
    const int q = static_cast<int>(s.pageSize);
    QVERIFY(bar->isEnabled() && q > 2);
    QCOMPARE(bar->maximum(), 212 - q + 2);
    for (auto [key, first] : {std::pair{Qt::Key_PageDown, q}, {Qt::Key_Down, q + 1}, {Qt::Key_Right, q + 2}, {Qt::Key_Left, q + 1},
                              {Qt::Key_End, bar->maximum()}, {Qt::Key_PageUp, bar->maximum() - q}, {Qt::Key_Home, 0}}) {
      QTest::keyClick(map, key);
      QCOMPARE(s.first, std::uint32_t(first));
      QCOMPARE(bar->value(), first);
    }
    bar->setValue(7);
    QCOMPARE(s.first, 7U);
    bar->setValue(0);
    TipsColoursAndScale(map);

    // The SVG holds one bar per alignment (outlined rectangles below the ruler band).
    const std::string svgPath = dir_.filePath("map.svg").toStdString();
    std::string error;
    QVERIFY(WriteMapPictureForBatch(svgPath, s, 12, error));
    QFile svgFile(QString::fromStdString(svgPath));
    QVERIFY(svgFile.open(QIODevice::ReadOnly));
    const QString svg = QString::fromUtf8(svgFile.readAll());
    const MapFontMetrics f = MeasureMapFont(MakeMapFont(12, 96));
    const QRegularExpression group("<g fill=\"(#[0-9a-f]{6})\"[^>]*stroke=\"#000000\"[^>]*>(.*?)</g>",
                                   QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression outlined("<rect vector-effect=\"non-scaling-stroke\" x=\"-?\\d+\" y=\"(\\d+)\"");
    std::vector<QString> colours;
    for (auto g = group.globalMatch(svg); g.hasNext();) {
      const auto m = g.next();
      for (auto r = outlined.globalMatch(m.captured(2)); r.hasNext();)
        if (r.next().captured(1).toInt() >= 6 * f.lh) colours.push_back(m.captured(1));
    }
    QCOMPARE(colours.size(), s.entries.size());
    const std::string pngPath = dir_.filePath("map.png").toStdString();
    QVERIFY(WriteMapPictureForBatch(pngPath, s, 12, error));
    const QImage png(QString::fromStdString(pngPath));
    QCOMPARE(png.size(), QSize(kMapPictureWidth, 6 * f.lh + 213 * f.lh));
    QVERIFY(!WriteMapPictureForBatch(dir_.filePath("none/map.svg").toStdString(), s, 12, error));
    QCOMPARE(QString::fromStdString(error), "Unable to write the file :\n" + dir_.filePath("none/map.svg") + ".");
    const QString chosen = dir_.filePath("chosen.png");  // Options, Save as image
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, chosen.toStdString(), "chosen.png"});
    map->CommandAction(kCmdMapSaveImage)->trigger();
    QCOMPARE(QImage(chosen).size(), png.size());

    // A new command replaces the map with one of the current selection; one that fits has no active bar.
    QPointer<StatBlaWindow> old = map;
    UnselectAllAlignments(w_->Data());
    w_->Data().hits->front()->selected[0] = 1;
    map = OpenMap();
    QVERIFY(old.isNull());
    QVERIFY(map->windowTitle().startsWith("Vistram - map of selected sequences ["));
    QCOMPARE(map->Stat().entries.size(), std::size_t{1});
    QVERIFY(!map->BarsScrollBar()->isEnabled());
    map->StatBlaWndProc_OnCommand(kCmdExit);  // Exit closes it and clears the check mark
    QCoreApplication::processEvents();
    QVERIFY(w_->MapWindow() == nullptr && !action->isChecked());
    w_->Data().header.resultType = kResultMixed;  // mixed results are refused before anything else
    QVERIFY(OpenMap() == nullptr);
    QCOMPARE(MessageTexts(platform_), (std::vector<std::string>{"Mapper|No sequences selected.",
                                       "Vistram|Unable to construct a multiple sequence\n alignment with mixed results."}));
  }
};

QTEST_MAIN(MapWindowTest)
#include "map_window_test.moc"
