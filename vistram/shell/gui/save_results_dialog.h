// The "Save results" dialog (command 3001): saves the current table, or its
// selected alignments, as a saved-results file or as an HTML report.
#pragma once
#include <QDialog>

#include "vistram/html/html_report.h"
#include "vistram/shell/save_results.h"

class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;

class SaveResultsDialog : public QDialog {
  Q_OBJECT
 public:
  // `source` gives the pairwise record of each alignment for the HTML report.
  SaveResultsDialog(QWidget* owner, DataProgram& dp, HtmlAlignmentSource source);

  // The controls, for the main window's tests.
  QRadioButton* allButton() const { return all_; }
  QRadioButton* selectionButton() const { return selection_; }
  QRadioButton* textButton() const { return text_; }
  QRadioButton* htmlButton() const { return html_; }
  QPushButton* fileButton() const { return file_; }
  QPushButton* saveButton() const { return save_; }
  QLabel* pathLabel() const { return pathLabel_; }

 private:
  void SaveResultsProc_OnInitDialog();
  void OnFileName();
  void OnSave();
  void OnCancel();

  DataProgram& dp_;
  HtmlAlignmentSource source_;
  SaveResultsState state_;
  QRadioButton* all_ = nullptr;
  QRadioButton* selection_ = nullptr;
  QRadioButton* text_ = nullptr;
  QRadioButton* html_ = nullptr;
  QPushButton* file_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QLabel* pathLabel_ = nullptr;
};

// Shows the dialog modally over `owner` for the working set of `dp` (command
// 3001). True when a file was saved. The HTML report takes its alignments
// from `source`, by default the alignment reader with the colours of `dp`.
bool SaveResultsDlg(QWidget* owner, DataProgram& dp, HtmlAlignmentSource source);
bool SaveResultsDlg(QWidget* owner, DataProgram& dp);
