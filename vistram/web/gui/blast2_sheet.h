// The "BLAST 2.0 search" sheet (pages "Prgms / Databases", "Sequence" and
// "Parameters") and the "BLAST2 default values" dialog (the parameters page
// alone, in CONFIG mode). Every choice is stored into the request record as
// it is made; OK hands the record to Apply_Request.
#pragma once
#include <QDialog>
#include <string>

#include "vistram/web/blast2_request.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class ServerLogoWidget;

// The parameters page, in the sheet or as the defaults dialog's content.
class Blast2ParametersPage : public QWidget {
  Q_OBJECT
 public:
  enum class Mode { Sheet, Config };
  Blast2ParametersPage(BLAST_DATA& data, Mode mode, QWidget* parent);

  // InitDlgPage3: fills the lists and fields from the configuration and the
  // record (`reset`: the lists are emptied first, the advanced field cleared
  // and the box unticked, as after choosing another configuration file).
  void InitDlgPage3(bool reset);
  // The selected positions of the five lists, the gapped box and the advanced text.
  Blast2Defaults Defaults() const;

  QComboBox* ExpectBox() const { return expect_; }
  QComboBox* FilterBox() const { return filter_; }
  QComboBox* DescriptionsBox() const { return descriptions_; }
  QComboBox* AlignmentsBox() const { return alignments_; }
  QComboBox* MatrixBox() const { return matrix_; }
  QComboBox* GeneticCodeBox() const { return geneticCode_; }
  QLineEdit* AdvancedField() const { return advanced_; }
  QCheckBox* GappedBox() const { return gapped_; }
  QLabel* ExpectLabel() const { return expectLabel_; }
  QPushButton* FileButton() const { return file_; }
  QLabel* FilePath() const { return filePath_; }
  QPushButton* GetDbButton() const { return getDb_; }
  QPushButton* SaveButton() const { return save_; }
  QPushButton* CancelButton() const { return cancel_; }

 signals:
  void saveRequested();
  void cancelRequested();

 private:
  void ChangeBLAST2CFGFile();

  BLAST_DATA& data_;
  Mode mode_;
  QComboBox* expect_ = nullptr;
  QComboBox* filter_ = nullptr;
  QComboBox* descriptions_ = nullptr;
  QComboBox* alignments_ = nullptr;
  QComboBox* matrix_ = nullptr;
  QComboBox* geneticCode_ = nullptr;
  QLabel* geneticCodeLabel_ = nullptr;
  QLineEdit* advanced_ = nullptr;
  QCheckBox* gapped_ = nullptr;
  QLabel* expectLabel_ = nullptr;
  QPushButton* file_ = nullptr;
  QLabel* filePath_ = nullptr;
  QPushButton* getDb_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* cancel_ = nullptr;
  bool filling_ = false;
};

class Blast2Sheet : public QDialog {
  Q_OBJECT
 public:
  // The record must have passed GlobalInitPage1 and GlobalInitPage3.
  Blast2Sheet(QWidget* owner, BLAST_DATA& data);

  QTabWidget* Pages() const { return pages_; }
  QComboBox* ProgramBox() const { return program_; }
  QComboBox* NucleicBox() const { return nucleic_; }
  QComboBox* ProteinBox() const { return protein_; }
  QComboBox* OrganismBox() const { return organism_; }
  QLabel* ServerText() const { return server_; }
  ServerLogoWidget* Logo() const { return logo_; }
  QPushButton* FileButton() const { return fileButton_; }
  QLabel* FileName() const { return fileName_; }
  QPushButton* FetchButton() const { return fetch_; }
  QLineEdit* IdentifierField() const { return identifier_; }
  QComboBox* FetchDatabaseBox() const { return fetchDb_; }
  QCheckBox* NameBox() const { return nameBox_; }
  QLineEdit* NameField() const { return name_; }
  QPlainTextEdit* SequenceField() const { return sequence_; }
  Blast2ParametersPage* Parameters() const { return parameters_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

  // The OK action (Apply_Request); the sheet then closes.
  void OnOk();
  // Cancel: the record is reset and the sheet closes.
  void OnCancel();

 private:
  QWidget* CreatePage1();
  QWidget* CreatePage2();
  void Page1DlgProc_OnInit();
  void Page2DlgProc_OnInit();
  void OnProgramChanged();
  void TraiteChoixFichier();
  void FetchDBseqForBlastDlg();

  BLAST_DATA& data_;
  QTabWidget* pages_ = nullptr;
  QComboBox* program_ = nullptr;
  QComboBox* nucleic_ = nullptr;
  QComboBox* protein_ = nullptr;
  QComboBox* organism_ = nullptr;
  QLabel* server_ = nullptr;
  ServerLogoWidget* logo_ = nullptr;
  QPushButton* fileButton_ = nullptr;
  QLabel* fileName_ = nullptr;
  QPushButton* fetch_ = nullptr;
  QLineEdit* identifier_ = nullptr;
  QComboBox* fetchDb_ = nullptr;
  QCheckBox* nameBox_ = nullptr;
  QLineEdit* name_ = nullptr;
  QPlainTextEdit* sequence_ = nullptr;
  Blast2ParametersPage* parameters_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  bool filling_ = false;
};

// "BLAST2 default values": the parameters page alone, modal.
class Blast2DefaultsDialog : public QDialog {
  Q_OBJECT
 public:
  Blast2DefaultsDialog(QWidget* owner, BLAST_DATA& data);
  Blast2ParametersPage* Page() const { return page_; }
  // "&Save": writes the defaults; the dialog closes (after a message when a
  // file could not be written).
  void OnSave();

 private:
  BLAST_DATA& data_;
  Blast2ParametersPage* page_ = nullptr;
};

// Command 3023: resets the record, stores both paths and runs the sheet
// (when GlobalInitPage1 and GlobalInitPage3 succeed). 1 when closed with OK.
int PrepBlast2search(QWidget* owner, const std::string& blast2ConfigPath, const std::string& configPath);
// Command 3013: the defaults dialog over the same record. 1 when saved.
int BLAST2_PREF(QWidget* owner, const std::string& blast2ConfigPath, const std::string& configPath);
