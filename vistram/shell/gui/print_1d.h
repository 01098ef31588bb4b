// The 1D alignment printout ("1D sequence alignment"): the page header and
// the current HSP in blocks of as many columns as the page is wide, each
// drawn by the pairwise view's own drawing routine.
#pragma once
#include <string>

#include "vistram/platform/gui/print_fonts.h"
#include "vistram/platform/gui/printout.h"
#include "vistram/results/records.h"

class OneDPrintout : public Printout {
 public:
  // `view` must outlive the printout; `hitIdentifier` names the hit.
  OneDPrintout(const VisualHaspData& view, std::string hitIdentifier);
  std::string Title() const override { return "1D sequence alignment"; }
  int PageCount(QPainter& painter) override;
  void DrawPage(QPainter& painter, int page) override;

  // The layout, once PageCount has run (tests).
  int ColumnsPerBlock() const { return columns_; }
  int BlocksPerPage() const { return blocksPerPage_; }
  // "1D alignment between Query (top) and %s (bottom) (Align %u, HSP %u)".
  std::string AlignmentLine() const;

 private:
  const VisualHaspData& view_;
  std::string hit_;
  PrintFont font_;
  int margin_ = 0;
  int columns_ = 1;
  int blocksPerPage_ = 1;
  int blocks_ = 0;
};
