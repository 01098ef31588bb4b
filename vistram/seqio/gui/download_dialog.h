// The "Download from NCBI" dialog: a database from SZLISTNCBIDB and a
// sequence identifier; "Fetch" downloads the entry through libseqfetch.
#pragma once
#include <QDialog>

#include "vistram/seqio/sequence_text.h"

class QComboBox;
class QLineEdit;
class QPushButton;

class DLGGetBSPProc : public QDialog {
  Q_OBJECT
 public:
  // Command ids of the buttons.
  static constexpr int kIdFetch = 1;
  static constexpr int kIdCancel = 2;

  explicit DLGGetBSPProc(QWidget* owner);

  // The sequence fetched (null until a fetch succeeded); the caller owns it.
  SequenceText TakeResult() { return std::move(result_); }

  QComboBox* DatabaseBox() const { return database_; }
  QLineEdit* IdentifierField() const { return identifier_; }
  QPushButton* FetchButton() const { return fetch_; }
  QPushButton* CancelButton() const { return cancel_; }

  void DLGGetBSPProc_OnInitDialog();
  void DLGGetBSPProc_OnCommand(int id);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Fetch();

  QComboBox* database_ = nullptr;
  QLineEdit* identifier_ = nullptr;
  QPushButton* fetch_ = nullptr;
  QPushButton* cancel_ = nullptr;
  SequenceText result_;
};

// Runs the dialog modally over `owner` and returns what it fetched (null when
// cancelled or failed; the dialog has shown the message for statuses 1, 3
// and 4). A downloaded sequence has no name. Free with MyFree (SequenceText does).
SequenceText HCAWndProc_OuvrirNet(QWidget* owner);
