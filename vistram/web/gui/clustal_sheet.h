// The "ClustalW" sheet: pages "Sequences" (FASTA text typed or pasted) and
// "Parameters". OK hands the record to Apply_Clu_Method.
#pragma once
#include <QDialog>
#include <string>

#include "vistram/web/clustal_request.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class ServerLogoWidget;

class ClustalSheet : public QDialog {
  Q_OBJECT
 public:
  // The record must have passed GlobalInitCluPage2.
  ClustalSheet(QWidget* owner, CLUSTAL_DATA& data);

  QTabWidget* Pages() const { return pages_; }
  QPlainTextEdit* SequencesField() const { return sequences_; }
  QLabel* ServerText() const { return server_; }
  ServerLogoWidget* Logo() const { return logo_; }
  QComboBox* OutputOrderBox() const { return outputOrder_; }
  QComboBox* GuideTreeBox() const { return guideTree_; }
  QComboBox* MatrixBox() const { return matrix_; }
  QLineEdit* GapOpenField() const { return gapOpen_; }
  QLineEdit* GapExtendField() const { return gapExtend_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

  void OnOk();
  void OnCancel();

 private:
  QWidget* CluPage1DlgProc();
  QWidget* CluPage2DlgProc();
  void InitCluDlgPg2();

  CLUSTAL_DATA& data_;
  QTabWidget* pages_ = nullptr;
  QPlainTextEdit* sequences_ = nullptr;
  QLabel* server_ = nullptr;
  ServerLogoWidget* logo_ = nullptr;
  QComboBox* outputOrder_ = nullptr;
  QComboBox* guideTree_ = nullptr;
  QComboBox* matrix_ = nullptr;
  QLineEdit* gapOpen_ = nullptr;
  QLineEdit* gapExtend_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  bool filling_ = false;
};

// Command 3024: resets the record, stores both paths and runs the sheet when
// GlobalInitCluPage2 succeeds. 1 when closed with OK.
int CallClustalDlg(QWidget* owner, const std::string& clustalConfigPath, const std::string& configPath);
