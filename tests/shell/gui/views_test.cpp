// The main window's widgets on their own (pairwise view, result list, dialogs), vistram --pdf,
// and one workbench per user: a second start hands its report to the running one.
#include <sys/stat.h>

#include <QLocalServer>
#include <QLocalSocket>
#include <QtTest>
#include <QtWidgets>
#include <future>

#include "../view_fixture.h"
#include "support/next_dialog.h"
#include "vistram/base/colours.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/blast_parser.h"
#include "vistram/results/report_kind.h"
#include "vistram/shell/gui/colours_dialog.h"
#include "vistram/shell/gui/display.h"
#include "vistram/shell/gui/gui_parameters_dialog.h"
#include "vistram/shell/gui/pairwise_view.h"
#include "vistram/shell/gui/result_list.h"
#include "vistram/shell/gui/single_instance.h"
#include "vistram/shell/batch.h"
#include "vistram/shell/batch_pdf.h"
#include "vistram/shell/gui/batch_pdf_writer.h"

namespace {
const QString kData = VISTRAM_TEST_DATA_DIR;  // <source>/tests/data
const QString kProgram = QString(VISTRAM_BINARY_DIR) + "/bin/vistram";
const std::string kReport = (kData.left(kData.lastIndexOf("/tests/data")) + "/data/sample.bla").toStdString();

int Run(std::vector<std::string> args) {
  args.insert(args.begin(), "vistram");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  int code = -1;
  return RunBatchIfRequested(static_cast<int>(argv.size()), argv.data(), code) ? code : -100;
}

// The text of the PDF's first page, when poppler's pdftotext is installed.
QString FirstPageText(const QString& pdf) {
  if (QStandardPaths::findExecutable("pdftotext").isEmpty()) return {};
  QProcess p;
  p.start("pdftotext", {"-l", "1", "-layout", pdf, "-"});
  p.waitForFinished(30000);
  return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

// Pixels of exactly `colour` inside `area` of `image`.
int CountColour(const QImage& image, const QRect& area, const QColor& colour) {
  const QRect r = area.intersected(image.rect());
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += image.pixelColor(x, y).rgb() == colour.rgb();
  return n;
}
}  // namespace

class ViewsTest : public QObject {
  Q_OBJECT

  DisplayResources display_;
  int cw_ = 0, lh_ = 0;
  RecordingPlatform platform_;
  QTemporaryDir runtime_;
  const std::string cfg_ = VISTRAM_TEST_DATA_DIR "/../shell/data/colours.cfg";

  // Query residue 10 is column 5; subject residue 10 is column 9, 20 would fall on a gap.
  static std::unique_ptr<VisualHaspData> Hsp(DataProgram&, int, int) {  // hit 1, alignment 1
    return MakeView("VPKDVAVPKDVAVPKDVAVPKDVAVPKD", "V+ D V+ KD AVP+  A+ P  VA+PK", "VIRDAVLPKDVA-PRDVAVPKEVAVPKD", 5, 1);
  }
  std::unique_ptr<PairwiseView> ShowView(DataProgram& dp, int width, const HspReader& reader = Hsp) {
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
  QImage Render(const ResultListDelegate& delegate, const HspData& hit, bool selected, int width) {
    QImage image(width, delegate.ItemHeight(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    delegate.DrawItem(&painter, image.rect(), hit, selected, Qt::white);
    return image;
  }

  QProcessEnvironment Environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", runtime_.path());  // our own instance socket
    env.insert("VISTRAM_TRACE_TITLES", "1");
    return env;
  }

 private slots:
  void initTestCase() {
    GuiPreferences prefs;
    QVERIFY(CreateFonts(display_, prefs, 96, nullptr));
    display_.viewerFont.setStyleStrategy(QFont::NoAntialias);  // text pixels of the exact text colour
    display_.listFont.setStyleStrategy(QFont::NoAntialias);
    cw_ = display_.viewerCharWidth;
    lh_ = display_.viewerLineHeight;
    QVERIFY(QFontInfo(display_.listFont).fixedPitch());
    SetCurrentPlatform(&platform_);
    SetPdfBatchWriter(WritePdfForBatch);
  }
  void cleanupTestCase() { SetCurrentPlatform(nullptr), SetPdfBatchWriter(nullptr); }

  void everyColourCodeIsPaintedWithTheBackgroundSwitch() {
    DataProgram dp;
    dp.configPath = cfg_;
    auto view = ShowView(dp, 60 * cw_);
    QVERIFY(view && dp.viewer);
    const QColor red(255, 0, 0), yellow(255, 255, 0), green(0, 128, 0), white(Qt::white), black(Qt::black);
    QImage image = Grab(*view);
    // HCA: P white on red, V dark green on yellow, D red on white; identities white on black.
    QVERIFY(Back(image, 1, 0) == red && Has(image, 1, 0, white));
    QVERIFY(Back(image, 0, 0) == yellow && Has(image, 0, 0, green));
    QVERIFY(Back(image, 3, 0) == white && Has(image, 3, 0, red));
    QVERIFY(Back(image, 0, 1) == black && Has(image, 0, 1, white));
    QVERIFY(Back(image, 1, 1) == white && Back(image, 12, 2) == white);  // '+' black on white; the subject's gap

    // Identity: column 0 identity (dark red), 1 similarity (teal), 2 other (grey); V on cyan.
    dp.colourCode = kColourIdentity;
    view->Refresh();
    image = Grab(*view);
    const QColor darkRed(128, 0, 0), teal(0, 128, 128), grey(128, 128, 128);
    QVERIFY(Has(image, 0, 0, darkRed) && Has(image, 0, 2, darkRed) && Has(image, 1, 0, teal) && Has(image, 1, 2, teal));
    QVERIFY(Has(image, 2, 0, grey) && !Has(image, 2, 0, darkRed));
    QVERIFY(Back(image, 0, 0) == QColor(0, 255, 255) && Back(image, 0, 1) == white);  // match line black on white
  }

  void numbersTicksAndScrolling() {
    DataProgram dp;
    dp.configPath = cfg_;
    auto wide = ShowView(dp, 40 * cw_);
    QVERIFY(wide && !wide->HorizontalScrollBar()->isEnabled());
    const QImage image = Grab(*wide);
    // Query 10 at column 5: its number above and its tick; the first column three widths in.
    const int y0 = (3 * lh_) / 2, x5 = cw_ * 8;
    QVERIFY(CountColour(image, QRect(x5 - cw_, y0 - lh_, 2 * cw_, lh_ - 3), Qt::black) > 0);
    QVERIFY(image.pixelColor(x5, y0 - 2) == Qt::black && image.pixelColor(3 * cw_ - cw_ / 2 - 1, y0) == Qt::white);

    // Narrower than its 28 columns: the scroll bar from -2 to n - v + 2.
    auto narrow = ShowView(dp, 10 * cw_ + 4);
    QVERIFY(narrow);
    QScrollBar* bar = narrow->HorizontalScrollBar();
    QVERIFY(bar->isEnabled() && bar->minimum() == -2 && bar->maximum() == 28 - narrow->Scroll().visibleColumns + 2);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(narrow->ScrollPosition(), -2 + narrow->Scroll().visibleColumns);

    // A reader without a record: the view empty, the buttons off.
    FillWorkingSet(dp, 2, 3);
    QPushButton previous, next;
    dp.viewer->alignmentNumber = 2;
    UpdateHspButtonWidgets(dp, &previous, &next);
    QVERIFY(previous.isEnabled() && next.isEnabled());
    QVERIFY(!narrow->ShowHsp(dp, 2, 1, [](DataProgram&, int, int) { return std::unique_ptr<VisualHaspData>(); }));
    QVERIFY(!dp.viewer && !bar->isEnabled());
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
    QCOMPARE(LitBlastForListBox(nullptr, nullptr, dp, kReport, kReportBlastText), 1);
    auto view = ShowView(dp, 70 * cw_, [](DataProgram& d, int h, int a) { return LitUnAlignHsp(nullptr, h, a, d); });
    QVERIFY(view && dp.viewer && view->HorizontalScrollBar()->isEnabled());
    const QImage image = Grab(*view);  // painted: the drawing is laid out
    QStringList numbers;
    for (const auto& t : view->LastDrawing().texts)
      if (t.kind == PairwiseText::Number && t.column < 30) numbers << QString("%1@%2").arg(t.text.c_str()).arg(t.column);
    QCOMPARE(numbers, (QStringList{"10@9", "10@9", "20@19", "20@19", "30@29", "30@29"}));
    QVERIFY(Has(image, 0, 0, QColor(255, 0, 0)) && Has(image, 0, 2, QColor(255, 0, 0)));  // "M", identical: red
    FreeHspData(dp);
  }

  void resultListDrawsEveryPartInItsBandAndColour() {
    const int lcw = display_.listCharWidth;
    const auto Band = [](int x1, int x2, int height) { return QRect(x1, 0, x2 - x1, height); };
    DataProgram dp;
    FillWorkingSet(dp, 3, 2);
    HspData& hit = *(*dp.hits)[1];
    hit.selected[1] = 1;
    ResultListDelegate delegate;
    delegate.SetFont(display_.listFont, lcw, display_.listLineHeight, 2);
    QCOMPARE(delegate.ItemHeight(), 2 * display_.listLineHeight + 4);
    const int w = 100 * lcw, h = delegate.ItemHeight();
    QImage image = Render(delegate, hit, false, w);
    const QRect number = Band(lcw, 6 * lcw, h), id = Band(7 * lcw, 27 * lcw, h), text = Band(28 * lcw, w - 18 * lcw, h),
                score = Band(w - 15 * lcw, w - 10 * lcw, h);
    QCOMPARE(image.pixelColor(w - 1, 0), QColor(Qt::white));  // the whole item is filled
    const std::pair<QRect, QColor> parts[] = {  // selection mark, number, identifier, description, score, expect
        {Band(0, lcw, h), QColor(255, 0, 0)}, {number, Qt::black}, {id, QColor(40, 60, 100)},
        {text, QColor(0, 0, 255)}, {score, QColor(100, 40, 0)}, {Band(w - 8 * lcw, w, h - 4), Qt::black}};
    for (const auto& [band, colour] : parts) QVERIFY2(CountColour(image, band, colour) > 0, qPrintable(colour.name()));
    QCOMPARE(CountColour(image, Band(27 * lcw + 1, 28 * lcw, h - 4), QColor(40, 60, 100)), 0);  // between the bands
    // The separator one pixel above the text area's bottom edge.
    QCOMPARE(CountColour(image, QRect(2, h - 3, w - 4, 1), Qt::black), w - 4);

    // The description wraps onto the second line.
    hit.description.clear();
    for (int i = 0; i < 60; ++i) hit.description += "KINASE ";
    image = Render(delegate, hit, false, w);
    const int lh = display_.listLineHeight;
    QVERIFY(CountColour(image, QRect(28 * lcw, 2 + lh, w - 46 * lcw, lh), QColor(0, 0, 255)) > 0);

    // Selected: white on navy; a hit without selected alignments has no mark.
    image = Render(delegate, *(*dp.hits)[0], true, w);
    QCOMPARE(image.pixelColor(0, 0), QColor(0, 0, 128));
    QCOMPARE(CountColour(image, Band(0, lcw, h), QColor(255, 0, 0)), 0);
    for (const QRect& band : {number, id, text, score})
      QVERIFY(CountColour(image, band, Qt::white) > 0 && CountColour(image, band, QColor(0, 0, 255)) == 0);
  }

  void resultListOverAHundredThousandHits() {
    const int lcw = display_.listCharWidth;
    DataProgram dp;
    ResultListModel model(dp);
    FillWorkingSet(dp, 100000);
    QCOMPARE(model.rowCount(), 0);  // until the views are told
    model.Reset();
    QVERIFY(model.rowCount() == 100000 && model.HitAt(99999) == (*dp.hits)[99999].get() && !model.HitAt(100000));
    QCOMPARE(model.data(model.index(4)).toString(), QString("SP|P10005 HYPOTHETICAL PROTEIN 5 FROM A GENOME PROJECT"));

    ResultListDelegate delegate;
    delegate.SetFont(display_.listFont, lcw, display_.listLineHeight, 2);
    QListView view;
    ConfigureResultList(&view, &model, &delegate);
    view.resize(100 * lcw, 10 * delegate.ItemHeight());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    FillResultList(&view, &model, 2);
    QCOMPARE(view.currentIndex().row(), 2);
    const QImage image = view.viewport()->grab().toImage();
    const int h = delegate.ItemHeight(), x = view.viewport()->width() - 20;
    // Row 3 is selected (navy) across the viewport's width, row 1 is not.
    QCOMPARE(image.pixelColor(x, 2 * h + h / 2), QColor(0, 0, 128));
    QVERIFY(image.pixelColor(x, h / 2) != QColor(0, 0, 128));
    QVERIFY(CountColour(image, QRect(lcw, 0, 5 * lcw, h), Qt::black) > 0);
    FillResultList(&view, &model, 99999);  // the last row reached
    QVERIFY(view.currentIndex().row() == 99999 && view.visualRect(view.currentIndex()).intersects(view.viewport()->rect()));

    // The working set emptied before the reset reaches the model: no row reads freed hits.
    dp.hits->resize(10);
    QVERIFY(!model.HitAt(50));
    dp.hits.reset();
    dp.viewHitCount = 0;
    model.Reset();
    QCOMPARE(model.rowCount(), 0);
  }

  void coloursDialogTakesTheChoiceOnlyOnOk() {
    DataProgram dp;
    dp.colourCode = kColourIdentity;
    dp.useBackground = 0;
    for (bool ok : {false, true}) {
      OnNextDialog([ok](QDialog* d) {
        qobject_cast<ColoursDialog*>(d)->BlackWhiteButton()->setChecked(true);
        qobject_cast<ColoursDialog*>(d)->BackgroundBox()->setChecked(true);
        ok ? d->accept() : d->reject();
      });
      QCOMPARE(ChooseColourCode(nullptr, dp), ok);
      QVERIFY(dp.colourCode == (ok ? kColourBlackWhite : kColourIdentity) && dp.useBackground == (ok ? 1 : 0));
    }
  }

  void guiParametersAreRefusedFieldByFieldInOrder() {
    platform_.Clear();
    ArrowField f(kMinFontSize, kMaxFontSize, nullptr);  // the arrows stay within the limits, typing does not
    for (const auto& [from, step, to] : std::vector<std::tuple<int, int, int>>{{13, 2, 14}, {7, -5, 6}, {30, 0, 30}}) {
      f.setValue(from);
      if (step != 0) f.stepBy(step);
      QCOMPARE(f.value(), to);
    }

    GuiPreferences prefs;
    prefs.listLines = 3;
    GuiParametersDialog d(prefs, nullptr);
    QCOMPARE(d.ListLinesField()->value(), 3);
    d.ViewerFontField()->setValue(15);
    d.ListLinesField()->setValue(0);
    d.accept();
    QVERIFY(d.result() == QDialog::Rejected && d.focusWidget() == d.ViewerFontField());  // still open
    QCOMPARE(platform_.Messages().back().text, std::string("Font size must be in the range \n6 to 14.\nPlease retry."));
    d.ViewerFontField()->setValue(14);
    d.accept();
    QCOMPARE(platform_.Messages().back().text,
             std::string("Number of lines for the ListBox\nmust be in the range 1 to 4.\nPlease Retry."));
    QCOMPARE(d.focusWidget(), d.ListLinesField());
    d.ListLinesField()->setValue(1);
    d.accept();
    QVERIFY(d.result() == QDialog::Accepted && platform_.Messages().size() == 2);
  }

  void newParametersApplyForTheRunAndKeepTheSelectedRow() {
    platform_.Clear();
    DataProgram dp;
    FillWorkingSet(dp, 50);
    DisplayResources display;
    QVERIFY(CreateFonts(display, dp.prefs, 96, nullptr));
    ResultListModel model(dp);
    ResultListDelegate delegate;
    delegate.SetFont(display.listFont, display.listCharWidth, display.listLineHeight, dp.prefs.listLines);
    QListView list;
    PairwiseView viewer;
    ConfigureResultList(&list, &model, &delegate);
    FillResultList(&list, &model, 7);
    const int oldWidth = display.viewerCharWidth;
    const auto answer = [](int listFont, bool ok) {
      OnNextDialog([=](QDialog* d) {
        auto* dialog = qobject_cast<GuiParametersDialog*>(d);
        dialog->ListFontField()->setValue(listFont);
        dialog->ListLinesField()->setValue(4);
        dialog->ViewerFontField()->setValue(14);
        ok ? dialog->accept() : dialog->reject();
      });
    };
    answer(8, true);
    QVERIFY(ShowGuiParametersDialog(nullptr, dp.prefs));
    QVERIFY(dp.prefs.listFontSize == 8 && dp.prefs.listLines == 4 && dp.prefs.viewerFontSize == 14);
    QVERIFY(ApplyGuiParameters(dp, display, nullptr, &list, &model, &delegate, &viewer));
    QCOMPARE(delegate.ItemHeight(), 4 * display.listLineHeight + 4);
    QVERIFY(display.viewerCharWidth > oldWidth && list.currentIndex().row() == 7);
    answer(6, false);  // cancel changes nothing
    QVERIFY(!ShowGuiParametersDialog(nullptr, dp.prefs) && dp.prefs.listFontSize == 8 && platform_.Messages().empty());
  }

  void everyKindWritesItsPagesAndFailuresExitOneOrTwo() {
    QTemporaryDir dir;
    const std::string msf = (kData + "/editor/bioperl_cysprot.msf").toStdString();
    const std::pair<std::vector<std::string>, const char*> kinds[] = {  // arguments, heading of the first page
        {{"1d", kReport}, "1D alignment between Query (top) and"},
        {{"hca", kReport}, "HCA alignment between"},
        {{"msa", kReport}, "MSA (Page 1)"},
        {{"msa", msf}, "MSA (Page 1)"},
        {{"map", kReport}, "MSA (Page 1)"},
        {{"map", kReport, "--select", "first"}, "MSA (Page 1)"},
    };
    int n = 0;
    for (const auto& [kind, heading] : kinds) {
      const QString out = dir.filePath(QString("out%1.PDF").arg(++n));
      std::vector<std::string> command = {"--pdf", "-o", out.toStdString()};
      command.insert(command.begin() + 1, kind.begin(), kind.end());
      QCOMPARE(Run(command), 0);
      QFile f(out);
      QVERIFY(f.open(QIODevice::ReadOnly));
      const QByteArray bytes = f.readAll();
      QVERIFY2(bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF"), kind[0].c_str());
      const QString text = FirstPageText(out);
      QVERIFY(text.isEmpty() || (text.contains("Vistram - print report") && text.contains(heading)));
    }

    const std::string out = dir.filePath("x.pdf").toStdString();
    const std::pair<int, std::vector<std::string>> failures[] = {
        {2, {"--pdf"}},
        {2, {"--pdf", "1d", kReport}},                     // no output
        {2, {"--pdf", "2d", kReport, "-o", out}},          // unknown kind
        {2, {"--pdf", "1d", kReport, "-o", dir.filePath("x.png").toStdString()}},
        {2, {"--pdf", "1d", kReport, "-o", out, "--select", "first"}},  // no selection for 1d
        {2, {"--pdf", "map", kReport, "-o", out, "--select", "some"}},
        {2, {"--pdf", "map", kReport, kReport, "-o", out}},
        {2, {"--print", "1d", kReport, "-o", out}},  // printing has no output file
        {1, {"--pdf", "1d", dir.filePath("missing.bla").toStdString(), "-o", out}},
        {1, {"--pdf", "msa", dir.filePath("missing.msf").toStdString(), "-o", out}},
        {1, {"--pdf", "1d", kReport, "-o", dir.filePath("no/such/folder.pdf").toStdString()}},
    };
    for (std::size_t i = 0; i < std::size(failures); ++i)
      QVERIFY2(Run(failures[i].second) == failures[i].first, qPrintable(QString("row %1").arg(i)));
    QVERIFY(!QFile::exists(QString::fromStdString(out)));
  }

  void secondStartHandsOverAndEnds() {
    QVERIFY(runtime_.isValid());
    QFile::setPermissions(runtime_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!QFile::exists(kProgram)) QSKIP("the program is not built");

    QProcess first, second;
    first.setProcessEnvironment(Environment());
    second.setProcessEnvironment(Environment());
    first.start(kProgram, {});
    QVERIFY(first.waitForStarted());
    QByteArray firstErr;
    // The window is up once it reports its first title (after the splash).
    QTRY_VERIFY_WITH_TIMEOUT((firstErr += first.readAllStandardError()).contains("title: Vistram \n"), 20000);
    // The second start names the report relative to its own folder.
    second.setWorkingDirectory(kData.left(kData.lastIndexOf("/tests/data")) + "/data");
    second.start(kProgram, {"sample.bla"});
    QVERIFY(second.waitForFinished(20000));
    QVERIFY(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 1);
    QVERIFY(!second.readAllStandardError().contains("title:"));  // it never made a window

    QTRY_VERIFY_WITH_TIMEOUT((firstErr += first.readAllStandardError()).contains("title: Vistram - BLAST 2\n"), 20000);
    QVERIFY(first.state() == QProcess::Running);
    first.kill();
    first.waitForFinished();
  }

  // The hand-over to a workbench, to a program that answers one byte, to one that never answers.
  void handOverTrustsOnlyTheExactReply() {
    QTemporaryDir runtime;
    ::chmod(runtime.path().toLocal8Bit().constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const auto handOver = [](int patienceMs) {
      return std::async(std::launch::async, [patienceMs] { return HandOverToRunningInstance("/a/report", 200, patienceMs); });
    };
    {
      InstanceServer workbench;
      QVERIFY(workbench.Listen());
      std::string received;
      workbench.SetReceiver([&](const std::string& line) { received = line; });
      auto result = handOver(5000);
      QTRY_COMPARE(received, std::string("/a/report"));
      QCOMPARE(result.get(), HandOverResult::Done);
    }
    for (const char* reply : {"1", ""}) {
      QLocalServer other;
      QVERIFY(other.listen(InstanceSocketName()));
      connect(&other, &QLocalServer::newConnection, this, [&] {
        QLocalSocket* peer = other.nextPendingConnection();
        if (*reply == '\0') return;
        connect(peer, &QLocalSocket::readyRead, peer, [peer, reply] { peer->readAll(), peer->write(reply); });
      });
      auto result = handOver(800);
      while (result.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) QTest::qWait(20);
      // A stranger's reply: no workbench, this start opens its own; none: a busy one, it opens nothing.
      QCOMPARE(result.get(), *reply != '\0' ? HandOverResult::NoInstance : HandOverResult::Busy);
    }
    qunsetenv("XDG_RUNTIME_DIR");
  }

  // Without XDG_RUNTIME_DIR the socket goes in a folder of the user's alone, never one others enter.
  void privateFolderWithoutRuntimeFolder() {
    QTemporaryDir temp;
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    const QString folder = InstanceFolder();
    QCOMPARE(folder, temp.path() + "/vistram-" + QString::number(::getuid()));
    struct stat st {};
    QVERIFY(::stat(folder.toLocal8Bit().constData(), &st) == 0 && (st.st_mode & 0777) == 0700u);
    QVERIFY(InstanceSocketName().startsWith(folder + "/"));
    ::chmod(folder.toLocal8Bit().constData(), 0777);
    QVERIFY(InstanceFolder().isEmpty() && InstanceSocketName().isEmpty());
    qunsetenv("TMPDIR");
  }
};

QTEST_MAIN(ViewsTest)
#include "views_test.moc"
