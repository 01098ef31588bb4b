#include "vistram/web/gui/sheet_buttons.h"

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

SheetButtons AddSheetButtons(QDialog* sheet, QBoxLayout* layout) {
  auto* buttons = new QDialogButtonBox(sheet);
  SheetButtons b{buttons->addButton("OK", QDialogButtonBox::AcceptRole),
                 buttons->addButton("Cancel", QDialogButtonBox::RejectRole)};
  b.ok->setObjectName("okButton");
  b.cancel->setObjectName("cancelButton");
  layout->addWidget(buttons);
  return b;
}
