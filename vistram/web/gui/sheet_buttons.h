// The "OK" and "Cancel" row under the pages of a request sheet.
#pragma once
class QBoxLayout;
class QDialog;
class QPushButton;

struct SheetButtons {
  QPushButton* ok;
  QPushButton* cancel;
};
// Adds the row at the bottom of `layout`; the buttons are named "okButton"
// and "cancelButton" for the tests.
SheetButtons AddSheetButtons(QDialog* sheet, QBoxLayout* layout);
