// The "Alignments colours" dialog: the colour code of the pairwise view and
// the "use background colour" switch.
#pragma once
#include <QDialog>

struct DataProgram;
class QCheckBox;
class QRadioButton;

class ColoursDialog : public QDialog {
  Q_OBJECT
 public:
  ColoursDialog(int colourCode, bool useBackground, QWidget* owner);

  // The choice shown by the controls.
  int ColourCode() const;
  bool UseBackground() const;

  QRadioButton* HcaButton() const { return hca_; }
  QRadioButton* IdentityButton() const { return identity_; }
  QRadioButton* BlackWhiteButton() const { return blackWhite_; }
  QCheckBox* BackgroundBox() const { return background_; }

 private:
  QRadioButton* hca_;
  QRadioButton* identity_;
  QRadioButton* blackWhite_;
  QCheckBox* background_;
};

// Choose colour code: shows the dialog over `owner`; "&Ok" stores the colour
// code and the switch in dp and returns true, "&Cancel" changes nothing. The
// caller then shows the current HSP again so that the colours apply at once.
bool ChooseColourCode(QWidget* owner, DataProgram& dp);
