#include "vistram/web/gui/request_widgets.h"

#include "vistram/web/blast2_request.h"
#include "vistram/web/request_config.h"

QString QStr(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

void InitComboChoice(QComboBox* box, std::string_view list, int defaultIndex) {
  box->clear();
  if (Holds(list, "NOT_USE")) {
    box->setEnabled(false);
    return;
  }
  box->setEnabled(true);
  for (const std::string& item : SplitChoices(list)) box->addItem(QStr(item));
  box->setCurrentIndex(defaultIndex >= 0 && defaultIndex < box->count() ? defaultIndex : -1);
}

void InitComboDB(QComboBox* box, std::string_view list) {
  box->clear();
  if (Holds(list, "NOT_USE")) {
    box->setEnabled(false);
    return;
  }
  for (const std::string& entry : DatabaseEntries(list)) box->addItem(QStr(entry));
  box->setCurrentIndex(box->count() > 0 ? 0 : -1);
}

std::string ComboText(const QComboBox* box, std::size_t width) {
  return Cut(box->currentText().toStdString(), width);
}
