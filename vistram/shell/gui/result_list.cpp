#include "vistram/shell/gui/result_list.h"

#include <QItemSelectionModel>
#include <QListView>
#include <QPainter>
#include <algorithm>

#include "vistram/results/records.h"
#include "vistram/shell/gui/display.h"

namespace {

QString Latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

bool AnySelected(const HspData& hit) {
  return std::any_of(hit.selected.begin(), hit.selected.end(), [](int f) { return f != 0; });
}

const QColor kRed(255, 0, 0);
const QColor kIdentifierColour(40, 60, 100);
const QColor kScoreColour(100, 40, 0);
const QColor kDescriptionColour(0, 0, 255);
const QColor kFocusColour(128, 128, 128);

}  // namespace

ResultListModel::ResultListModel(DataProgram& dp, QObject* parent) : QAbstractListModel(parent), dp_(dp) {
  rows_ = 0;
}

int ResultListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

const HspData* ResultListModel::HitAt(int row) const {
  if (row < 0 || row >= rows_) return nullptr;
  return dp_.Hit(row + 1);
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
  const HspData* hit = index.isValid() ? HitAt(index.row()) : nullptr;
  if (hit == nullptr) return {};
  switch (role) {
    case Qt::DisplayRole:
      return Latin1(hit->identifier) + QLatin1Char(' ') + Latin1(hit->description);
    case Qt::ToolTipRole:
      return Latin1(hit->description);
    default:
      return {};
  }
}

void ResultListModel::Reset() {
  beginResetModel();
  int n = 0;
  if (dp_.hits) n = std::min(std::max(dp_.viewHitCount, 0), static_cast<int>(dp_.hits->size()));
  rows_ = n;
  endResetModel();
}

void ResultListModel::RowChanged(int row) {
  if (row < 0 || row >= rows_) return;
  QModelIndex i = index(row);
  emit dataChanged(i, i);
}

ResultListDelegate::ResultListDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void ResultListDelegate::SetFont(const QFont& font, int charWidth, int lineHeight, int listLines) {
  font_ = font;
  charWidth_ = std::max(1, charWidth);
  lineHeight_ = std::max(1, lineHeight);
  listLines_ = std::clamp(listLines, kMinListLines, kMaxListLines);
  emit sizeHintChanged(QModelIndex());
}

QSize ResultListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  (void)index;
  // The width is the list's: a list view in list mode stretches rows to its viewport.
  return QSize(std::max(1, option.rect.width()), ItemHeight());
}

void ResultListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  const auto* model = qobject_cast<const ResultListModel*>(index.model());
  const HspData* hit = model != nullptr ? model->HitAt(index.row()) : nullptr;
  const QColor window = option.palette.color(QPalette::Base);
  const bool selected = (option.state & QStyle::State_Selected) != 0;
  painter->save();
  if (hit != nullptr) {
    DrawItem(painter, option.rect, *hit, selected, window);
  } else {
    painter->fillRect(option.rect, window);
  }
  DrawFocusFrame(painter, option.rect, (option.state & QStyle::State_HasFocus) != 0, window);
  painter->restore();
}

void ResultListDelegate::DrawItem(QPainter* painter, const QRect& r, const HspData& hit, bool selected,
                                  const QColor& windowColour) const {
  painter->save();
  painter->fillRect(r, selected ? PaletteColor(10) : windowColour);
  painter->setFont(font_);
  painter->setBackgroundMode(Qt::TransparentMode);
  const QRect area = r.adjusted(2, 2, -2, -2);
  const int left = r.left();
  const int right = r.left() + r.width();  // W, the right edge
  const int cw = charWidth_;
  auto band = [&](int x1, int x2) { return QRect(x1, area.top(), std::max(0, x2 - x1), area.height()); };
  const int line = Qt::AlignVCenter | Qt::TextSingleLine;
  const QColor white = PaletteColor(1);
  const QColor black = PaletteColor(0);

  if (AnySelected(hit)) {
    painter->setPen(kRed);
    painter->drawText(band(left, left + cw), Qt::AlignLeft | line, QStringLiteral("x"));
  }
  painter->setPen(selected ? white : black);
  painter->drawText(band(left + cw, left + 6 * cw), Qt::AlignRight | line, QString::number(hit.number) + '.');
  painter->setPen(selected ? white : kIdentifierColour);
  painter->drawText(band(left + 7 * cw, left + 27 * cw), Qt::AlignLeft | line, Latin1(hit.identifier));
  painter->setPen(selected ? white : kScoreColour);
  painter->drawText(band(right - 15 * cw, right - 10 * cw), Qt::AlignRight | line, Latin1(hit.scoreText));
  painter->setPen(selected ? white : black);
  painter->drawText(band(right - 8 * cw, area.left() + area.width()), Qt::AlignLeft | line, Latin1(hit.expectText));

  const int x1 = left + 28 * cw;
  const int x2 = right - 18 * cw;
  if (x2 > x1) {
    QRect description(x1, area.top(), x2 - x1, std::min(listLines_ * lineHeight_, area.height()));
    painter->setPen(selected ? white : kDescriptionColour);
    painter->drawText(description, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, Latin1(hit.description));
  }
  painter->setPen(QPen(black, 1));
  painter->drawLine(area.left(), area.bottom(), area.right(), area.bottom());
  painter->restore();
}

void ResultListDelegate::DrawFocusFrame(QPainter* painter, const QRect& rect, bool hasFocus,
                                        const QColor& windowColour) {
  painter->save();
  painter->setPen(QPen(hasFocus ? kFocusColour : windowColour, 1));
  painter->setBrush(Qt::NoBrush);
  // The frame's outer edge is rect shrunk by 1 on every side.
  painter->drawRect(rect.adjusted(1, 1, -2, -2));
  painter->restore();
}

void ConfigureResultList(QListView* view, ResultListModel* model, ResultListDelegate* delegate) {
  view->setModel(model);
  view->setItemDelegate(delegate);
  view->setUniformItemSizes(true);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  view->setLayoutMode(QListView::SinglePass);
  view->setFrameShape(QFrame::StyledPanel);
  view->setFrameShadow(QFrame::Sunken);
}

void FillResultList(QListView* view, ResultListModel* model, int index) {
  model->Reset();
  view->setFocus();
  if (index >= 0 && index < model->rowCount()) {
    QModelIndex i = model->index(index);
    view->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    view->scrollTo(i);
  }
}
