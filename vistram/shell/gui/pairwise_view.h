// The pairwise alignment view: the current HSP (DataProgram::viewer) as three
// coloured lines of residues (query, match line, subject) with the position
// of every tenth residue above and below, scrolled horizontally by columns.
#pragma once
#include <QFont>
#include <QFrame>
#include <functional>
#include <memory>

#include "vistram/shell/pairwise.h"

struct DataProgram;
struct VisualHaspData;
class QPainter;
class QScrollBar;

// Builds the pairwise record of alignment `alignmentNumber` (1-based) of hit
// `hitNumber` (1-based) of the working set, or null (the HSP reader).
using HspReader = std::function<std::unique_ptr<VisualHaspData>(DataProgram& dp, int hitNumber, int alignmentNumber)>;

// Draws `drawing` (laid out by LayoutPairwise) with `font`: every text on its
// own background colour, numbers and ticks black on white. Shared by the
// view and the printout.
void DrawPairwise(QPainter& painter, const PairwiseDrawing& drawing, const QFont& font, int charWidth,
                  int lineHeight);

class PairwiseView : public QFrame {
  Q_OBJECT
 public:
  explicit PairwiseView(QWidget* parent = nullptr);
  ~PairwiseView() override;

  // The program record whose viewer is drawn (not owned).
  void SetDataProgram(DataProgram* dp);
  // The viewer font with its average character width and line height.
  void SetViewerFont(const QFont& font, int charWidth, int lineHeight);

  // Show HSP: replaces dp.viewer with the reader's record of (hit, alignment),
  // assigns its colours for dp.colourCode and dp.useBackground, repaints and
  // recomputes the scroll range. False (and an empty view) when the reader
  // gives nothing. The caller then updates the caption fields and the HSP
  // buttons (and the embedded HCA window).
  bool ShowHsp(DataProgram& dp, int hitNumber, int alignmentNumber, const HspReader& reader);
  // Shows again the current record of dp.viewer after a colour change, or
  // after the record was set by the caller.
  void Refresh();
  // Adjust pairwise scroll range: after a new HSP or a change of size.
  void AdjustScrollRange();

  const PairwiseScroll& Scroll() const { return scroll_; }
  int ScrollPosition() const { return position_; }
  // Scroll request (as the scroll bar's arrows and page areas send them).
  void ScrollBy(ScrollRequest request);
  QScrollBar* HorizontalScrollBar() const { return scrollBar_; }
  // The drawing area (without the frame and the scroll bar).
  QWidget* Canvas() const { return canvas_; }
  // What the last paint drew (tests).
  const PairwiseDrawing& LastDrawing() const { return lastDrawing_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  class CanvasWidget;
  void PaintCanvas(QPainter& painter, const QRect& invalid);
  void OnScrollAction(int action);
  void SetPosition(int position);

  DataProgram* dp_ = nullptr;
  QFont font_;
  int charWidth_ = 8;
  int lineHeight_ = 16;
  QWidget* canvas_ = nullptr;
  QScrollBar* scrollBar_ = nullptr;
  PairwiseScroll scroll_;
  int position_ = kScrollMinimum;
  PairwiseDrawing lastDrawing_;
};

// Update HSP buttons: enables `previous` and `next` (any QWidget) for the
// shown alignment of dp (both off when none is shown).
void UpdateHspButtonWidgets(const DataProgram& dp, QWidget* previous, QWidget* next);
