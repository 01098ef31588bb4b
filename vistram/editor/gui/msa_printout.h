// The multiple-alignment printout (an "MSA report"): pages of column bands
// first, then row bands, each with the header, the ruler, the consensus,
// the residues and the row names, drawn by the editor's own routines.
#pragma once
#include <string>
#include <vector>

#include "vistram/base/page_geometry.h"
#include "vistram/editor/msa.h"
#include "vistram/platform/gui/print_fonts.h"
#include "vistram/platform/gui/printout.h"

class MsaPrintout : public Printout {
 public:
  // `msa` must outlive the printout; `screenFontPixels` is the editor
  // font's height in screen pixels.
  MsaPrintout(const DarUvaData& msa, int screenFontPixels);
  std::string Title() const override { return "MSA report"; }
  int PageCount(QPainter& painter) override;
  void DrawPage(QPainter& painter, int page) override;
  // Once PageCount has run (tests).
  const std::vector<GridPage>& Pages() const { return pages_; }
  int NameColumnWidth() const { return nameWidth_; }
  int CharWidth() const { return font_.cw; }

 private:
  const DarUvaData& msa_;
  int points_;
  PrintFont font_;
  int margin_ = 0, nameWidth_ = 0, columns_ = 1, rows_ = 1;
  std::vector<GridPage> pages_;
};
