#include "vistram/shell/gui/gui_parameters_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "vistram/platform/messages.h"
#include "vistram/results/records.h"
#include "vistram/shell/gui/display.h"
#include "vistram/shell/gui/pairwise_view.h"
#include "vistram/shell/gui/result_list.h"

ArrowField::ArrowField(int minimum, int maximum, QWidget* parent)
    : QSpinBox(parent), minimum_(minimum), maximum_(maximum) {
  setRange(0, 999);
  setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  setAccelerated(false);
}

void ArrowField::stepBy(int steps) { setValue(std::clamp(value() + steps, minimum_, maximum_)); }

QAbstractSpinBox::StepEnabled ArrowField::stepEnabled() const {
  StepEnabled e = StepNone;
  if (value() < maximum_) e |= StepUpEnabled;
  if (value() > minimum_) e |= StepDownEnabled;
  return e;
}

namespace {

void AddRow(QGridLayout* grid, int row, const QString& label, ArrowField* field, const QString& unit) {
  auto* l = new QLabel(label, grid->parentWidget());
  l->setBuddy(field);
  grid->addWidget(l, row, 0);
  grid->addWidget(field, row, 1);
  grid->addWidget(new QLabel(unit, grid->parentWidget()), row, 2);
}

}  // namespace

GuiParametersDialog::GuiParametersDialog(const GuiPreferences& prefs, QWidget* owner) : QDialog(owner) {
  setWindowTitle(QStringLiteral("GUI parameters"));
  auto* layout = new QVBoxLayout(this);

  auto* listGroup = new QGroupBox(QStringLiteral("Listbox of database entries"), this);
  auto* listGrid = new QGridLayout(listGroup);
  listFont_ = new ArrowField(kMinFontSize, kMaxFontSize, listGroup);
  listLines_ = new ArrowField(kMinListLines, kMaxListLines, listGroup);
  AddRow(listGrid, 0, QStringLiteral("&Font size :"), listFont_, QStringLiteral("points"));
  AddRow(listGrid, 1, QStringLiteral("&Entry size :"), listLines_, QStringLiteral("lines"));
  layout->addWidget(listGroup);

  auto* viewerGroup = new QGroupBox(QStringLiteral("1D viewer"), this);
  auto* viewerGrid = new QGridLayout(viewerGroup);
  viewerFont_ = new ArrowField(kMinFontSize, kMaxFontSize, viewerGroup);
  AddRow(viewerGrid, 0, QStringLiteral("Font &size :"), viewerFont_, QStringLiteral("points"));
  layout->addWidget(viewerGroup);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("&Ok"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &GuiParametersDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  listFont_->setValue(prefs.listFontSize);
  listLines_->setValue(prefs.listLines);
  viewerFont_->setValue(prefs.viewerFontSize);
  listFont_->setFocus();
}

void GuiParametersDialog::accept() {
  // Text typed but not yet taken by a field counts.
  for (ArrowField* f : {listFont_, viewerFont_, listLines_}) f->interpretText();
  const int failed = ValidateGuiParameters(ListFontSize(), ViewerFontSize(), ListLines());
  if (failed != kGuiParametersValid) {
    MyErrMsgBox(IDS_CAPTION, GuiParameterMessage(failed), this);
    ArrowField* field = failed == kGuiListFont ? listFont_ : failed == kGuiViewerFont ? viewerFont_ : listLines_;
    field->setFocus();
    field->selectAll();
    return;
  }
  QDialog::accept();
}

bool ShowGuiParametersDialog(QWidget* owner, GuiPreferences& prefs) {
  GuiParametersDialog dialog(prefs, owner);
  if (dialog.exec() != QDialog::Accepted) return false;
  prefs.listFontSize = dialog.ListFontSize();
  prefs.listLines = dialog.ListLines();
  prefs.viewerFontSize = dialog.ViewerFontSize();
  return true;
}

bool ApplyGuiParameters(DataProgram& dp, DisplayResources& display, QWidget* owner, QListView* list,
                        ResultListModel* model, ResultListDelegate* delegate, PairwiseView* viewer) {
  const int row = (list != nullptr && list->currentIndex().isValid()) ? list->currentIndex().row() : -1;
  if (!CreateFonts(display, dp.prefs, ScreenDpiX(owner), owner)) return false;
  if (delegate != nullptr) {
    delegate->SetFont(display.listFont, display.listCharWidth, display.listLineHeight, dp.prefs.listLines);
  }
  if (viewer != nullptr) {
    viewer->SetViewerFont(display.viewerFont, display.viewerCharWidth, display.viewerLineHeight);
  }
  if (list != nullptr && model != nullptr) {
    list->setFont(display.listFont);
    FillResultList(list, model, row);
  }
  return true;
}
