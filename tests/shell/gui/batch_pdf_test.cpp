// vistram --pdf KIND INPUT -o OUT.pdf: each kind writes a whole PDF with its
// header on the first page; usage errors exit 2, unreadable inputs or
// unwritable outputs exit 1 and leave no file.
#include <QtTest>

#include "vistram/shell/batch.h"
#include "vistram/shell/batch_pdf.h"
#include "vistram/shell/gui/batch_pdf_writer.h"

namespace {
const QString kData = VISTRAM_TEST_DATA_DIR;  // <source>/tests/data
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
}  // namespace

class BatchPdfTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { SetPdfBatchWriter(WritePdfForBatch); }
  void cleanupTestCase() { SetPdfBatchWriter(nullptr); }

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
};

QTEST_APPLESS_MAIN(BatchPdfTest)
#include "batch_pdf_test.moc"
