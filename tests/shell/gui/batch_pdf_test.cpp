// vistram --pdf KIND INPUT -o OUT.pdf: each kind writes a whole PDF with
// its header on the first page; wrong arguments exit 2, unreadable inputs
// exit 1 with the window's message and leave no file.
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <vector>

#include "vistram/platform/platform.h"
#include "vistram/shell/batch.h"
#include "vistram/shell/batch_pdf.h"
#include "vistram/shell/gui/batch_pdf_writer.h"

namespace {
QString SampleReport() {
  QString dir = VISTRAM_TEST_DATA_DIR;
  return dir.left(dir.lastIndexOf("/tests/data")) + "/data/sample.bla";
}
QString TestMsf() { return QString(VISTRAM_TEST_DATA_DIR) + "/editor/bioperl_cysprot.msf"; }

int Run(std::vector<std::string> args) {
  args.insert(args.begin(), "vistram");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  int code = -1;
  if (!RunBatchIfRequested(static_cast<int>(argv.size()), argv.data(), code)) return -1;
  return code;
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

  void everyKindWritesItsPages() {
    QTemporaryDir dir;
    struct Case {
      const char* kind;
      QString input;
      const char* heading;
    };
    const std::vector<Case> cases = {
        {"1d", SampleReport(), "1D alignment between Query (top) and"},
        {"hca", SampleReport(), "HCA alignment between"},
        {"msa", SampleReport(), "MSA (Page 1)"},
        {"msa", TestMsf(), "MSA (Page 1)"},
        {"map", SampleReport(), "MSA (Page 1)"},
    };
    int n = 0;
    for (const Case& c : cases) {
      const QString out = dir.filePath(QString("out%1.PDF").arg(++n));
      QCOMPARE(Run({"--pdf", c.kind, c.input.toStdString(), "-o", out.toStdString()}), 0);
      QFile f(out);
      QVERIFY(f.open(QIODevice::ReadOnly));
      const QByteArray bytes = f.readAll();
      QVERIFY2(bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF"), c.kind);
      const QString text = FirstPageText(out);
      if (!text.isEmpty()) {
        QVERIFY2(text.contains("Vistram - print report"), c.kind);
        QVERIFY2(text.contains(c.heading), c.kind);
      }
    }
    // The first alignments only: the map of sample.bla keeps fewer bars but still prints.
    const QString first = dir.filePath("first.pdf");
    QCOMPARE(Run({"--pdf", "map", SampleReport().toStdString(), "-o", first.toStdString(), "--select", "first"}), 0);
    QVERIFY(QFile::exists(first));
  }

  void wrongArgumentsAndBadInputs() {
    QTemporaryDir dir;
    const std::string out = dir.filePath("x.pdf").toStdString();
    const std::string report = SampleReport().toStdString();
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--pdf"},
             {"--pdf", "1d", report},                                   // no output
             {"--pdf", "2d", report, "-o", out},                        // unknown kind
             {"--pdf", "1d", report, "-o", dir.filePath("x.png").toStdString()},  // not a PDF
             {"--pdf", "1d", report, "-o", out, "--select", "first"},   // no selection for 1d
             {"--pdf", "map", report, "-o", out, "--select", "some"},
             {"--pdf", "map", report, report, "-o", out},
             {"--print", "1d", report, "-o", out},                      // printing has no output file
         })
      QCOMPARE(Run(args), 2);
    QCOMPARE(Run({"--pdf", "1d", dir.filePath("missing.bla").toStdString(), "-o", out}), 1);
    QCOMPARE(Run({"--pdf", "msa", dir.filePath("missing.msf").toStdString(), "-o", out}), 1);
    QCOMPARE(Run({"--pdf", "1d", report, "-o", dir.filePath("no/such/folder.pdf").toStdString()}), 1);
    QVERIFY(!QFile::exists(QString::fromStdString(out)));
  }
};

QTEST_APPLESS_MAIN(BatchPdfTest)
#include "batch_pdf_test.moc"
