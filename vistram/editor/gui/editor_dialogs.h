// The editor's dialogs: "Save a MSF file" (with the aligned FASTA and
// Clustal exports as further file types), "Make a consensus", "Font size",
// the MSF file chooser and the construction's progress window.
#pragma once
#include <QDialog>
#include <string>

#include "vistram/editor/msa.h"
#include "vistram/editor/msf.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QSlider;
class QSpinBox;
class MsaEditSession;

// The platform's file dialog for MSF files: mode 10 "Open a MSF file",
// any other mode "Save a MSF file" (which also offers aligned FASTA and
// Clustal). True when a file was chosen: `fileName` gets its path (at most
// 259 characters), `fileTitle` its name (at most 255). `failed` tells a
// dialog error from a cancel.
bool ChoisiFichierMSF(QWidget* owner, std::string& fileName, std::string& fileTitle, const std::string& startFolder,
                      int mode, bool* failed = nullptr);

// Removes every character that is not a decimal digit (and, with
// `allowMinus`, not '-'); true when something was removed (TesteEditNum).
bool TesteEditNum(std::string& text, bool allowMinus);

// "Save a MSF file".
class SauveMsfDlg : public QDialog {
  Q_OBJECT
 public:
  SauveMsfDlg(const DarUvaData& msa, QWidget* owner);
  QLineEdit* FromEdit() const { return from_; }
  QLineEdit* ToEdit() const { return to_; }
  QLineEdit* ScaleEdit() const { return scale_; }
  QSpinBox* WidthBox() const { return width_; }
  QCheckBox* ConsensusBox() const { return consensus_; }
  QComboBox* TypeBox() const { return type_; }
  QLabel* NameLabel() const { return name_; }
  // The file the dialog will write (folder kept, base name cut to 10).
  std::string TargetPath() const;
  // Sets the chosen file (as the "File name:" button does).
  void SetChosenFile(const std::string& path);
  // OK: validates the range and writes; false when the range is refused.
  bool TrySave();

 private:
  void ChooseFile();
  void DigitsOnly(QLineEdit* edit);
  MsaFileFormat Format() const;

  const DarUvaData& msa_;
  std::string folder_;
  QLabel* name_ = nullptr;
  QLineEdit* from_ = nullptr;
  QLineEdit* to_ = nullptr;
  QLineEdit* scale_ = nullptr;
  QSpinBox* width_ = nullptr;
  QCheckBox* consensus_ = nullptr;
  QComboBox* type_ = nullptr;
};

// "Make a consensus": true when the consensus was recomputed (through the
// session, so that it can be undone).
bool ConsensusDLG(QWidget* owner, MsaEditSession& session);
// Parses the "Strict limit:" text: true with the threshold when it is a
// number of at most 9 digits in 0 .. rows.
bool ParseThreshold(const std::string& text, int rows, int& threshold);

// "Font size": true with the chosen size in points (4 to 20).
bool TaillePoliceDlg(QWidget* owner, int currentPoints, int& points);

// The modeless "DorUvo Editor" progress window of the construction.
class MsaProgressDialog : public QDialog {
  Q_OBJECT
 public:
  MsaProgressDialog(int rows, QWidget* owner);
  void Step(int done, int total);

 private:
  QLabel* text_ = nullptr;
  QProgressBar* bar_ = nullptr;
  int shownPercent_ = -1;
};
