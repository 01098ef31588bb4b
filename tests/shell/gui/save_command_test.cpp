// File "Save..." (command 3001) of the real main window: the "Save results"
// dialog answered as the user answers it, the saved-results file and the HTML
// report written from the shown table and read back, and failed writes that
// keep the files already there and say so.
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <utility>
#include <vector>

#include "main_window_fixture.h"
#include "support/file_size_limit.h"
#include "vistram/base/command_ids.h"
#include "vistram/results/blast_parser.h"
#include "vistram/results/report_kind.h"
#include "vistram/shell/gui/save_results_dialog.h"
#include "vistram/shell/main_commands.h"

namespace {
using test_support::FileSizeLimit;

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// How the dialog ended.
enum class Saved { Yes, StayedOpen, NoDialog };

// The saved file read back through the BLAST reader; false when it is not
// recognised as a saved-results file or cannot be read.
bool ReadBack(const QString& path, DataProgram& back) {
  return TestFichier(path.toStdString()) == kReportBlastText &&
         LitBlastForListBox(nullptr, nullptr, back, path.toStdString(), 5) == kBlastOk;
}
}  // namespace

class SaveCommandTest : public MainWindowFixture {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> out_;

  QString Out(const char* name) const { return out_->filePath(name); }

  // Triggers File "Save..." and answers the dialog: scope and style, the file
  // chosen through "File name :" (the save-file dialog answers `chosen`),
  // then "Save". A dialog that stays open after "Save" is cancelled.
  Saved Save(bool selectionOnly, bool html, const QString& chosen) {
    FileDialogResult answer;
    answer.status = FileDialogResult::Status::Chosen;
    answer.path = chosen.toStdString();
    answer.title = QFileInfo(chosen).fileName().toStdString();
    platform_.QueueFileAnswer(answer);
    Saved result = Saved::NoDialog;
    OnNextDialog([&](QDialog* d) {
      auto* dialog = qobject_cast<SaveResultsDialog*>(d);
      if (dialog == nullptr) {
        d->reject();
        return;
      }
      (selectionOnly ? dialog->selectionButton() : dialog->allButton())->setChecked(true);
      (html ? dialog->htmlButton() : dialog->textButton())->setChecked(true);
      QTest::mouseClick(dialog->fileButton(), Qt::LeftButton);
      QTest::mouseClick(dialog->saveButton(), Qt::LeftButton);
      if (dialog->isVisible()) {
        result = Saved::StayedOpen;
        dialog->reject();
      } else {
        result = dialog->result() == QDialog::Accepted ? Saved::Yes : Saved::StayedOpen;
      }
    });
    w_->CommandAction(kCmdSave)->trigger();
    return result;
  }

  // Selects, with the space key in the list, alignment `alignment` (from 1)
  // of the hit in row `row`, reached with the ">>" button.
  void SelectThroughTheList(int row, int alignment) {
    SelectRow(row);
    for (int i = 1; i < alignment; ++i) QTest::mouseClick(w_->NextButton(), Qt::LeftButton);
    w_->ResultList()->setFocus();
    QTest::keyClick(w_->ResultList(), Qt::Key_Space);
    QCOMPARE(AlignmentSelected(w_->Data(), row + 1, alignment), 1);
  }

  // The first row whose hit has two alignments and is not row 0 (-1 if none).
  int RowWithTwoAlignments() const {
    const HitList& hits = *w_->Data().hits;
    for (std::size_t i = 1; i < hits.size(); ++i)
      if (hits[i]->alignmentCount == 2) return static_cast<int>(i);
    return -1;
  }

  QStringList OutFiles() const { return QDir(out_->path()).entryList(QDir::Files, QDir::Name); }

 private slots:
  void init() {
    StartWindow();
    out_ = std::make_unique<QTemporaryDir>();
    QVERIFY(out_->isValid());
  }
  void cleanup() {
    StopWindow();
    out_.reset();
  }

  void savesTheSelectionAndTheWholeTableAsText() {
    w_->MainWndProc_OnInitMenu();
    QVERIFY(!w_->CommandAction(kCmdSave)->isEnabled());
    OpenByPath(SourceData("sample.bla"));
    w_->MainWndProc_OnInitMenu();
    QVERIFY(w_->CommandAction(kCmdSave)->isEnabled());
    QVERIFY(!w_->CommandAction(kCmdSave)->statusTip().isEmpty());

    const int two = RowWithTwoAlignments();
    QVERIFY(two > 0);
    const int one = two == 2 ? 3 : 2;
    SelectThroughTheList(one, 1);
    SelectThroughTheList(two, 2);
    const DataProgram& dp = w_->Data();

    // A name typed with another extension is saved as ".vist".
    QCOMPARE(Save(true, false, Out("picked.txt")), Saved::Yes);
    QCOMPARE(OutFiles(), QStringList({"picked.vist"}));
    QVERIFY(platform_.Messages().empty());
    DataProgram back;
    QVERIFY(ReadBack(Out("picked.vist"), back));
    QCOMPARE(back.header.queryName, dp.header.queryName);
    QCOMPARE(back.hitCount, 2u);
    const std::pair<int, int> picked[] = {{std::min(one, two), one < two ? 0 : 1},
                                          {std::max(one, two), one < two ? 1 : 0}};
    for (std::size_t i = 0; i < 2; ++i) {
      const HspData& was = *(*dp.hits)[static_cast<std::size_t>(picked[i].first)];
      const HspData& is = *(*back.hits)[i];
      QCOMPARE(is.identifier, was.identifier);
      QCOMPARE(is.description, was.description);
      QCOMPARE(is.lengthText, was.lengthText);
      QCOMPARE(is.alignmentCount, 1);
      const AliData& a = *was.alignments[static_cast<std::size_t>(picked[i].second)];
      const AliData& b = *is.alignments[0];
      QCOMPARE(b.statsText, a.statsText);
      QCOMPARE(b.queryLine, a.queryLine);
      QCOMPARE(b.middleLine, a.middleLine);
      QCOMPARE(b.subjectLine, a.subjectLine);
      QCOMPARE(b.queryStart, a.queryStart);
      QCOMPARE(b.subjectStart, a.subjectStart);
      QCOMPARE(b.queryEnd, a.queryEnd);
      QCOMPARE(b.subjectEnd, a.subjectEnd);
    }

    // "Save all" writes every hit with every alignment, whatever is selected.
    QCOMPARE(Save(false, false, Out("all.vist")), Saved::Yes);
    DataProgram all;
    QVERIFY(ReadBack(Out("all.vist"), all));
    QCOMPARE(all.hitCount, dp.hitCount);
    for (std::size_t i = 0; i < dp.hitCount; ++i) {
      QCOMPARE((*all.hits)[i]->identifier, (*dp.hits)[i]->identifier);
      QCOMPARE((*all.hits)[i]->alignmentCount, (*dp.hits)[i]->alignmentCount);
    }
    QVERIFY(platform_.Messages().empty());
  }

  void writesTheHtmlReportOfTheSelection() {
    OpenByPath(SourceData("sample.bla"));
    const int two = RowWithTwoAlignments();
    QVERIFY(two > 0);
    const int one = two == 2 ? 3 : 2;
    SelectThroughTheList(one, 1);
    SelectThroughTheList(two, 2);
    const DataProgram& dp = w_->Data();

    QCOMPARE(Save(true, true, Out("report.txt")), Saved::Yes);
    QVERIFY(platform_.Messages().empty());
    QCOMPARE(OutFiles(),
             QStringList({"report_ali.html", "report_head.html", "report_lr.html", "report_main.html"}));
    const QString main = QString::fromUtf8(ReadAll(Out("report_main.html")));
    QVERIFY(main.contains("<TITLE>W-Vistram - results of report</TITLE>"));
    for (const char* page : {"report_head.html", "report_lr.html", "report_ali.html"})
      QVERIFY2(main.contains(QString("SRC=\"%1\"").arg(page)), page);
    QVERIFY(ReadAll(Out("report_head.html")).contains("<B>HSP(s)</B>"));

    // One list row per hit with a selected alignment, numbered by its place in the table.
    const QString list = QString::fromUtf8(ReadAll(Out("report_lr.html")));
    QCOMPARE(list.count("TARGET=\"ali\""), 2);
    for (int row : {one, two}) {
      QVERIFY(list.contains(QString("report_ali.html#ALI%1\"").arg(row + 1)));
      QVERIFY(list.contains(QString::fromStdString((*dp.hits)[static_cast<std::size_t>(row)]->identifier)));
    }
    QVERIFY(!list.contains(QString::fromStdString((*dp.hits)[0]->identifier)));

    // Only the selected alignments, each under its hit's anchor.
    const QString ali = QString::fromUtf8(ReadAll(Out("report_ali.html")));
    QCOMPARE(ali.count("<A NAME=\"ALI"), 2);
    QCOMPARE(ali.count("HSP : "), 2);
    QVERIFY(ali.contains(QString("<A NAME=\"ALI%1\"></A>").arg(two + 1)));
    QVERIFY(ali.contains(QString("Ali : %1.\n").arg(two + 1)));
    QVERIFY(ali.contains("HSP : 2.\n"));
    QVERIFY(ali.contains(QString("Ali : %1.\n").arg(one + 1)));
  }

  void aFailedWriteKeepsTheFilesThereAndSaysSo() {
    OpenByPath(SourceData("sample.bla"));
    SelectThroughTheList(2, 1);
    // Good files first: the selection (one alignment), as text and as HTML.
    QCOMPARE(Save(true, false, Out("kept.vist")), Saved::Yes);
    QCOMPARE(Save(true, true, Out("kept.vist")), Saved::Yes);
    const QStringList files = {"kept.vist", "kept_ali.html", "kept_head.html", "kept_lr.html", "kept_main.html"};
    QCOMPARE(OutFiles(), files);
    std::vector<QByteArray> before;
    for (const QString& f : files) before.push_back(ReadAll(out_->filePath(f)));
    QVERIFY(platform_.Messages().empty());

    // The whole table over them, with writes failing past 1 KB.
    Saved text = Saved::Yes;
    Saved html = Saved::Yes;
    {
      FileSizeLimit limit(1024);
      QVERIFY(limit.Active());
      text = Save(false, false, Out("kept.vist"));
      html = Save(false, true, Out("kept.vist"));
    }
    QCOMPARE(text, Saved::StayedOpen);
    QCOMPARE(html, Saved::StayedOpen);
    const auto messages = platform_.Messages();
    QCOMPARE(messages.size(), std::size_t(2));
    QCOMPARE(QString::fromStdString(messages[0].text), "Unable to write the file :\n" + Out("kept.vist") + ".");
    QCOMPARE(QString::fromStdString(messages[1].text),
             "Unable to write the HTML report :\n" + Out("kept.vist") + ".");

    // The earlier files are there as they were, with nothing left beside them.
    QCOMPARE(OutFiles(), files);
    for (qsizetype i = 0; i < files.size(); ++i)
      QVERIFY2(ReadAll(out_->filePath(files[i])) == before[static_cast<std::size_t>(i)], qPrintable(files[i]));
    DataProgram back;
    QVERIFY(ReadBack(Out("kept.vist"), back));
    QCOMPARE(back.hitCount, 1u);
  }
};

QTEST_MAIN(SaveCommandTest)
#include "save_command_test.moc"
