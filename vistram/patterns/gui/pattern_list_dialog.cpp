#include "vistram/patterns/gui/pattern_list_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kPatternRole = Qt::UserRole + 1;
const QColor kDescriptionColour(0, 0, 255);
const QColor kPatternColour(191, 87, 30);

QString Text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

QSize PatternItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  (void)index;
  const int width = option.widget != nullptr ? option.widget->width() + 1 : 200;
  return QSize(width, option.fontMetrics.height() * 5 / 2);
}

void PatternItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  painter->save();
  painter->fillRect(option.rect, option.palette.base());
  const QRect r = option.rect.adjusted(4, 4, -4, -4);
  const int half = r.height() / 2;
  painter->setFont(option.font);
  painter->setPen(kDescriptionColour);
  painter->drawText(QRect(r.left(), r.top(), r.width(), half), Qt::AlignLeft | Qt::AlignVCenter,
                    index.data(Qt::DisplayRole).toString());
  painter->setPen(kPatternColour);
  painter->drawText(QRect(r.left() + 20, r.top() + half, r.width() - 20, r.height() - half),
                    Qt::AlignLeft | Qt::AlignVCenter, index.data(kPatternRole).toString());
  // The selection frame, and the grey frame of the focused item.
  if ((option.state & QStyle::State_Selected) != 0) {
    painter->setPen(QPen(Qt::black, 1));
    painter->drawRect(option.rect.adjusted(1, 1, -2, -2));
  }
  if ((option.state & QStyle::State_HasFocus) != 0) {
    painter->setPen(QPen(Qt::gray, 1, Qt::DotLine));
    painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
  }
  painter->restore();
}

ListeMotifsDlg::ListeMotifsDlg(QWidget* owner, PatternFileState& state) : QDialog(owner), state_(state) {
  setWindowTitle("List of patterns");
  auto* file = new QPushButton("&File:", this);
  title_ = new QLabel(this);
  list_ = new QListWidget(this);
  list_->setSelectionMode(QAbstractItemView::MultiSelection);
  list_->setItemDelegate(new PatternItemDelegate(list_));
  list_->setMinimumSize(420, 260);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // items are one pixel wider than the list
  auto* all = new QPushButton("Select all", this);
  auto* none = new QPushButton("Unselect all", this);
  auto* ok = new QPushButton("&Ok", this);
  auto* cancel = new QPushButton("&Cancel", this);
  ok->setDefault(true);

  auto* top = new QHBoxLayout;
  top->addWidget(file);
  top->addWidget(title_, 1);
  auto* selection = new QHBoxLayout;
  selection->addWidget(all);
  selection->addWidget(none);
  selection->addStretch(1);
  selection->addWidget(ok);
  selection->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(new QLabel("Available pattern(s):", this));
  layout->addWidget(list_, 1);
  layout->addLayout(selection);

  const std::pair<QPushButton*, int> commands[] = {
      {file, kIdFile}, {all, kIdSelectAll}, {none, kIdUnselectAll}, {ok, kIdOk}, {cancel, kIdCancel}};
  for (const auto& [button, id] : commands) {
    connect(button, &QPushButton::clicked, this, [this, id = id] { ListeMotifs_OnCommand(id); });
  }
  ListeMotifs_OnInitDialog();
}

void ListeMotifsDlg::InitListBox() {
  list_->clear();
  for (const PatternEntry& e : state_.entries) {
    auto* item = new QListWidgetItem(Text(e.description), list_);
    item->setData(kPatternRole, Text(e.pattern));
  }
  for (std::size_t i : state_.selected) {
    if (i < static_cast<std::size_t>(list_->count())) list_->item(static_cast<int>(i))->setSelected(true);
  }
  if (list_->count() > 0) list_->setCurrentRow(0, QItemSelectionModel::NoUpdate);
}

void ListeMotifsDlg::ListeMotifs_OnInitDialog() {
  if (state_.entries.empty()) return;
  title_->setText(Text(state_.title));
  InitListBox();
  list_->setFocus();
}

void ListeMotifsDlg::ListeMotifs_OnCommand(int id) {
  switch (id) {
    case kIdFile:
      if (ChooseFileName2(this, state_) != 0) title_->setText(Text(state_.title));
      // After a failure the entries are gone: the list shows that too.
      InitListBox();
      break;
    case kIdSelectAll:
      list_->selectAll();
      break;
    case kIdUnselectAll:
      list_->clearSelection();
      break;
    case kIdOk: {
      std::vector<std::size_t> selected;
      for (int i = 0; i < list_->count(); ++i) {
        if (list_->item(i)->isSelected()) selected.push_back(static_cast<std::size_t>(i));
      }
      if (ChooseEntries(state_, selected)) accept();
      break;
    }
    case kIdCancel:
      reject();
      break;
    default:
      break;
  }
}

void ListeMotifs(QWidget* owner, PatternFileState& state) {
  ListeMotifsDlg dialog(owner, state);
  dialog.exec();
}
