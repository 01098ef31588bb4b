// The HCA printout ("HCA plots alignment"): copies of the query and the
// database plots, redrawn with the printer's geometry in pairs of strips
// (query above database) with an overlap, crop marks and a page header;
// and the "HCA print options" dialog that chooses how they are drawn.
#pragma once
#include <QDialog>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vistram/base/page_geometry.h"
#include "vistram/hca/gui/hca_draw.h"
#include "vistram/hca/hca_model.h"
#include "vistram/platform/gui/printout.h"

class QCheckBox;
class QLineEdit;

struct HcaPrintOptions {
  bool forceBlackWhite = false;  // colourMode 1
  bool aminoAcids = true;        // showLetters
  bool clusters = true;          // showContours
  bool background = true;        // showColours
  bool amphipathic = true;       // showZigzags
  bool cropMarks = true;
  int overlap = 10;              // 0..19
  // The switches taken from a plot; overlap 10 and crop marks on.
  static HcaPrintOptions FromPlot(const InfoSeq& seq);
  void ApplyTo(InfoSeq& seq) const;
};

// "HCA print options": each box changes its option as soon as it is
// clicked; "&Ok" accepts an overlap of 0 to 19, otherwise "Invalid overlap
// value.\nMust be < 20." and the previous value goes back into the field.
class HcaPrintOptionsDialog : public QDialog {
  Q_OBJECT
 public:
  HcaPrintOptionsDialog(HcaPrintOptions& options, QWidget* owner);
  QLineEdit* OverlapField() const { return overlap_; }
  QCheckBox* Box(int index) const { return boxes_[static_cast<std::size_t>(index)]; }
  void accept() override;

 private:
  HcaPrintOptions& options_;
  std::vector<QCheckBox*> boxes_;
  QLineEdit* overlap_ = nullptr;
};

class HcaPrintout : public Printout {
 public:
  // Works on copies of both plots (the database plot may be null).
  HcaPrintout(const InfoSeq& query, const InfoSeq* database, const HcaPrintOptions& options, int residuePoints = 8);
  std::string Title() const override { return "HCA plots alignment"; }
  int PageCount(QPainter& painter) override;
  void DrawPage(QPainter& painter, int page) override;
  // The strips of each page, once PageCount has run (tests).
  const std::vector<std::vector<StripPair>>& Pages() const { return pages_; }

 private:
  void DrawStrip(QPainter& painter, const InfoSeq& seq, const StripWindow& window, int& top);
  std::unique_ptr<InfoSeq> query_, database_;
  HcaPrintOptions options_;
  int residuePoints_;
  std::optional<HcaDeviceResources> res_;
  int margin_ = 0, crop_ = 0, pageWidth_ = 0, perStrip_ = 1;
  std::vector<std::vector<StripPair>> pages_;
};

// ImprimeHCAali: the options dialog on the query plot, then the printout on
// the current printer (`pdf`: into a PDF file chosen by the user instead).
void ImprimeHCAali(QWidget* owner, const InfoSeq* query, const InfoSeq* database, int residuePoints, bool pdf = false);
