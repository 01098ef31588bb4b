#include "vistram/shell/gui/pairwise_view.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>

#include "vistram/results/records.h"
#include "vistram/results/alignment_colours.h"
#include "vistram/shell/gui/display.h"

class PairwiseView::CanvasWidget : public QWidget {
 public:
  explicit CanvasWidget(PairwiseView* owner) : QWidget(owner), owner_(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    owner_->PaintCanvas(painter, event->rect());
  }

 private:
  PairwiseView* owner_;
};

void DrawPairwise(QPainter& painter, const PairwiseDrawing& drawing, const QFont& font, int charWidth,
                  int lineHeight) {
  painter.save();
  painter.setFont(font);
  QFontMetrics fm(font);
  for (const PairwiseText& t : drawing.texts) {
    const QString text = QString::fromLatin1(t.text.data(), static_cast<qsizetype>(t.text.size()));
    const int w = t.kind == PairwiseText::Number ? fm.horizontalAdvance(text) : charWidth;
    const QRect cell(t.x - w / 2, t.y, w, lineHeight);
    painter.fillRect(cell, PaletteColor(t.backColour));
    painter.setPen(PaletteColor(t.textColour));
    painter.drawText(cell, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, text);
  }
  painter.setPen(QPen(PaletteColor(0), 1));
  for (const PairwiseTick& tick : drawing.ticks) painter.drawLine(tick.x, tick.y1, tick.x, tick.y2);
  painter.restore();
}

PairwiseView::PairwiseView(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  canvas_ = new CanvasWidget(this);
  scrollBar_ = new QScrollBar(Qt::Horizontal, this);
  scrollBar_->setEnabled(false);
  scrollBar_->setRange(kScrollMinimum, kScrollMinimum);
  connect(scrollBar_, &QScrollBar::actionTriggered, this, &PairwiseView::OnScrollAction);
  QPalette p = canvas_->palette();
  p.setColor(QPalette::Window, PaletteColor(1));
  canvas_->setPalette(p);
}

PairwiseView::~PairwiseView() = default;

void PairwiseView::SetDataProgram(DataProgram* dp) {
  dp_ = dp;
  AdjustScrollRange();
}

void PairwiseView::SetViewerFont(const QFont& font, int charWidth, int lineHeight) {
  font_ = font;
  charWidth_ = std::max(1, charWidth);
  lineHeight_ = std::max(1, lineHeight);
  AdjustScrollRange();
}

bool PairwiseView::ShowHsp(DataProgram& dp, int hitNumber, int alignmentNumber, const HspReader& reader) {
  dp_ = &dp;
  FreeVisualHaspData(dp.viewer);
  std::unique_ptr<VisualHaspData> record;
  if (reader) record = reader(dp, hitNumber, alignmentNumber);
  if (record) {
    AssignColorForAA(dp.configPath, dp.colourCode, dp.useBackground != 0, *record);
    dp.viewer = std::move(record);
  }
  canvas_->update();
  AdjustScrollRange();
  return dp.viewer != nullptr;
}

void PairwiseView::Refresh() {
  if (dp_ != nullptr && dp_->viewer) {
    AssignColorForAA(dp_->configPath, dp_->colourCode, dp_->useBackground != 0, *dp_->viewer);
  }
  canvas_->update();
  AdjustScrollRange();
}

void PairwiseView::AdjustScrollRange() {
  const int n = (dp_ != nullptr && dp_->viewer) ? dp_->viewer->alignedLength : 0;
  scroll_ = ComputePairwiseScroll(canvas_->width(), charWidth_, n);
  if (n == 0) scroll_.enabled = false;
  if (!scroll_.enabled) scroll_.maximum = kScrollMinimum;
  position_ = kScrollMinimum;
  const QSignalBlocker block(scrollBar_);
  scrollBar_->setRange(scroll_.minimum, scroll_.maximum);
  scrollBar_->setSingleStep(std::max(1, scroll_.visibleColumns / 10));
  scrollBar_->setPageStep(std::max(1, scroll_.visibleColumns));
  scrollBar_->setValue(position_);
  scrollBar_->setEnabled(scroll_.enabled);
  canvas_->update();
}

void PairwiseView::ScrollBy(ScrollRequest request) {
  SetPosition(ApplyPairwiseScroll(scroll_, position_, request));
  const QSignalBlocker block(scrollBar_);
  scrollBar_->setValue(position_);
}

void PairwiseView::OnScrollAction(int action) {
  ScrollRequest request = ScrollRequest::Other;
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: request = ScrollRequest::LineLeft; break;
    case QAbstractSlider::SliderSingleStepAdd: request = ScrollRequest::LineRight; break;
    case QAbstractSlider::SliderPageStepSub: request = ScrollRequest::PageLeft; break;
    case QAbstractSlider::SliderPageStepAdd: request = ScrollRequest::PageRight; break;
    default: break;
  }
  const int next = ApplyPairwiseScroll(scroll_, position_, request);
  // The slider goes where the view goes; requests the view ignores leave it.
  scrollBar_->setSliderPosition(next);
  SetPosition(next);
}

void PairwiseView::SetPosition(int position) {
  if (position == position_) return;
  const int dx = (position_ - position) * charWidth_;
  position_ = position;
  canvas_->scroll(dx, 0);
}

void PairwiseView::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  const QRect r = contentsRect();
  const int h = scrollBar_->sizeHint().height();
  canvas_->setGeometry(r.left(), r.top(), r.width(), std::max(0, r.height() - h));
  scrollBar_->setGeometry(r.left(), r.top() + std::max(0, r.height() - h), r.width(), h);
  AdjustScrollRange();
}

void PairwiseView::PaintCanvas(QPainter& painter, const QRect& invalid) {
  painter.fillRect(invalid, PaletteColor(1));
  lastDrawing_ = {};
  if (dp_ == nullptr || !dp_->viewer) return;
  const VisualHaspData& view = *dp_->viewer;
  const ColumnRange range =
      PairwiseColumns(invalid.left(), invalid.left() + invalid.width(), charWidth_, position_, view.alignedLength);
  lastDrawing_ = LayoutPairwise(view, range, position_, 0, PairwiseTop(lineHeight_), charWidth_, lineHeight_);
  DrawPairwise(painter, lastDrawing_, font_, charWidth_, lineHeight_);
}

void UpdateHspButtonWidgets(const DataProgram& dp, QWidget* previous, QWidget* next) {
  HspButtons b;
  if (dp.viewer) {
    const HspData* hit = dp.Hit(dp.viewer->hitNumber);
    b = UpdateHspButtons(hit != nullptr ? hit->alignmentCount : 0, dp.viewer->alignmentNumber);
  }
  if (previous != nullptr) previous->setEnabled(b.previous);
  if (next != nullptr) next->setEnabled(b.next);
}
