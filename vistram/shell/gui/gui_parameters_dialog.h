// The "GUI parameters" dialog (list font size, list entry lines, viewer font
// size) and the applying of new parameters to the main window's views. The
// values last for the run; they are not written to the configuration file.
#pragma once
#include <QDialog>
#include <QSpinBox>

#include "vistram/base/config.h"

struct DataProgram;
struct DisplayResources;
class QListView;
class PairwiseView;
class ResultListDelegate;
class ResultListModel;

// An edit field with up/down arrows: any number may be typed (the dialog
// checks it on "&Ok"), the arrows move by one within minimum..maximum.
class ArrowField : public QSpinBox {
  Q_OBJECT
 public:
  ArrowField(int minimum, int maximum, QWidget* parent);
  void stepBy(int steps) override;

 protected:
  StepEnabled stepEnabled() const override;

 private:
  int minimum_;
  int maximum_;
};

class GuiParametersDialog : public QDialog {
  Q_OBJECT
 public:
  GuiParametersDialog(const GuiPreferences& prefs, QWidget* owner);

  ArrowField* ListFontField() const { return listFont_; }
  ArrowField* ListLinesField() const { return listLines_; }
  ArrowField* ViewerFontField() const { return viewerFont_; }
  // The values taken on "&Ok".
  int ListFontSize() const { return listFont_->value(); }
  int ListLines() const { return listLines_->value(); }
  int ViewerFontSize() const { return viewerFont_->value(); }

  // "&Ok": checks the fields in order; the first out of range shows its
  // message, takes the focus and keeps the dialog open.
  void accept() override;

 private:
  ArrowField* listFont_;
  ArrowField* listLines_;
  ArrowField* viewerFont_;
};

// Shows the dialog over `owner` with the values of `prefs`; on "&Ok" stores
// the three values into `prefs` and returns true.
bool ShowGuiParametersDialog(QWidget* owner, GuiPreferences& prefs);

// Applying new GUI parameters: rebuilds the fonts from dp.prefs. False when
// they cannot be made ("Unable to create fonts" shown; the caller closes the
// main window). Otherwise the list and the viewer take the new fonts and
// metrics and the list is filled again with the same row selected; the caller
// then lays the main window out again.
bool ApplyGuiParameters(DataProgram& dp, DisplayResources& display, QWidget* owner, QListView* list,
                        ResultListModel* model, ResultListDelegate* delegate, PairwiseView* viewer);
