#include "vistram/hca/gui/hca_printout.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPaintDevice>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "vistram/platform/gui/print_fonts.h"
#include "vistram/platform/gui/print_job.h"
#include "vistram/platform/platform.h"

HcaPrintOptions HcaPrintOptions::FromPlot(const InfoSeq& seq) {
  HcaPrintOptions o;
  o.forceBlackWhite = seq.colourMode == 1;
  o.aminoAcids = seq.showLetters == 1;
  o.clusters = seq.showContours == 1;
  o.background = seq.showColours == 1;
  o.amphipathic = seq.showZigzags == 1;
  return o;
}

void HcaPrintOptions::ApplyTo(InfoSeq& seq) const {
  seq.colourMode = forceBlackWhite ? 1 : 0;
  seq.showLetters = aminoAcids ? 1 : 0;
  seq.showContours = clusters ? 1 : 0;
  seq.showColours = background ? 1 : 0;
  seq.showZigzags = amphipathic ? 1 : 0;
}

HcaPrintOptionsDialog::HcaPrintOptionsDialog(HcaPrintOptions& options, QWidget* owner)
    : QDialog(owner), options_(options) {
  setWindowTitle("HCA print options");
  auto* grid = new QGridLayout;
  const std::vector<std::pair<const char*, bool*>> boxes = {
      {"Force B && W", &options.forceBlackWhite}, {"Amino acids", &options.aminoAcids},
      {"Clusters", &options.clusters},            {"Background color", &options.background},
      {"Amphipatic mark", &options.amphipathic},  {"Crop marks", &options.cropMarks}};
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    auto* box = new QCheckBox(QString::fromUtf8(boxes[i].first));
    bool* option = boxes[i].second;
    box->setChecked(*option);
    connect(box, &QCheckBox::toggled, this, [option](bool on) { *option = on; });
    grid->addWidget(box, static_cast<int>(i) / 2, static_cast<int>(i) % 2);
    boxes_.push_back(box);
  }
  auto* overlapRow = new QHBoxLayout;
  overlapRow->addWidget(new QLabel("Overlap:"));
  overlap_ = new QLineEdit(QString::number(options.overlap));
  overlap_->setMaxLength(4);
  overlapRow->addWidget(overlap_);
  auto* buttons = new QDialogButtonBox;
  buttons->addButton("&Ok", QDialogButtonBox::AcceptRole);
  buttons->addButton("&Cancel", QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(overlapRow);
  layout->addWidget(buttons);
  adjustSize();
  if (owner != nullptr) move(owner->mapToGlobal(owner->rect().center()) - QPoint(width() / 2, height() / 2));
}

void HcaPrintOptionsDialog::accept() {
  bool ok = false;
  const int value = overlap_->text().trimmed().toInt(&ok);
  if (!ok || value < 0 || value > 19) {
    CurrentPlatform().MessageBox(this, "HCA print options", "Invalid overlap value.\nMust be < 20.",
                                 MsgIcon::Warning, MsgButtons::Ok);
    overlap_->setText(QString::number(options_.overlap));
    return;
  }
  options_.overlap = value;
  QDialog::accept();
}

HcaPrintout::HcaPrintout(const InfoSeq& query, const InfoSeq* database, const HcaPrintOptions& options,
                         int residuePoints)
    : query_(DuplicatePData(query)),
      database_(database != nullptr ? DuplicatePData(*database) : nullptr),
      options_(options),
      residuePoints_(residuePoints) {
  if (query_) options_.ApplyTo(*query_);
  if (database_) options_.ApplyTo(*database_);
}

int HcaPrintout::PageCount(QPainter& painter) {
  QPaintDevice& device = *painter.device();
  pages_.clear();
  if (!query_) return 0;
  const int dpi = RoundDouble(static_cast<float>(device.logicalDpiX()));
  res_ = MakeHcaDeviceResources(dpi, residuePoints_, kHcaPrinter);
  if (!res_) return 0;  // no font: nothing is drawn
  const HcaGraphData& g = res_->geometry;
  for (InfoSeq* seq : {query_.get(), database_.get()}) {
    if (seq == nullptr) continue;
    CalcCoordAADiag(*seq, g);
    CreePolyUni(*seq, g);
  }
  margin_ = static_cast<int>(std::lround(dpi * 0.23622048));
  crop_ = static_cast<int>(std::lround(dpi * 0.11811024));
  pageWidth_ = device.width();
  perStrip_ = std::max(1, RoundDouble((pageWidth_ - 2 * crop_ - 2 * margin_) / g.dx));
  StripPlan plan;
  plan.perStrip = perStrip_;
  plan.overlap = options_.overlap;
  plan.pageHeight = device.height();
  plan.firstTop = crop_ + 9 * g.H;
  plan.stripHeight = res_->stripHeight;
  plan.lineHeight = g.H;
  plan.queryFirst = query_->firstIndex;
  plan.queryLast = query_->lastIndex;
  if (database_) {
    plan.databaseFirst = database_->firstIndex;
    plan.databaseLast = database_->lastIndex;
  }
  pages_ = StripPages(plan);
  return static_cast<int>(pages_.size());
}

namespace {
void DrawBottomText(QPainter& painter, const HcaDeviceResources& res, int x, int y, const std::string& text) {
  painter.setFont(res.residueFont);
  painter.setPen(Qt::black);
  const QFontMetrics fm(res.residueFont, painter.device());
  painter.drawText(x, y - fm.descent(), QString::fromStdString(text));
}
}  // namespace

void HcaPrintout::DrawStrip(QPainter& painter, const InfoSeq& seq, const StripWindow& window, int& top) {
  const HcaGraphData& g = res_->geometry;
  const int c = crop_;
  DrawBottomText(painter, *res_, 2 * c + g.W, top + 2 * g.H, seq.seqName);
  top += 2 * g.H;
  const int bottom = top + res_->stripHeight;
  if (options_.cropMarks) {
    painter.setPen(QPen(Qt::black, std::max(1, g.lineWidth[0])));
    for (const int x : {c, pageWidth_ - c}) {
      const int inward = x == c ? c : -c;
      painter.drawLine(x, top, x + inward, top);
      painter.drawLine(x + inward, top, x + inward, top - c);
      painter.drawLine(x, bottom, x + inward, bottom);
      painter.drawLine(x + inward, bottom, x + inward, bottom + c);
    }
  }
  if (!StripExhausted(window, seq.lastIndex) && window.start <= window.end) {
    const int xOrigin = RoundDouble(window.start * g.dx);
    DessineDiagramme2(painter, seq, xOrigin, window.start, window.end, c + margin_, top, pageWidth_ - c - margin_,
                      bottom, *res_, kHcaPrinter);
  }
  top += g.H + res_->stripHeight;
}

void HcaPrintout::DrawPage(QPainter& painter, int page) {
  if (!res_ || page < 1 || page > static_cast<int>(pages_.size())) return;
  const HcaGraphData& g = res_->geometry;
  const int c = crop_;
  const int x = c + 2 * g.W;
  const int y = c + 2 * g.H;
  DrawBottomText(painter, *res_, x, y, kPrintHeadingLine);
  DrawBottomText(painter, *res_, x, y + g.H, kPrintNoticeLine);
  char line[700];
  std::snprintf(line, sizeof line, "HCA alignment between %.260s and %.260s (Page %u)", query_->seqName.c_str(),
                database_ ? database_->seqName.c_str() : "", static_cast<unsigned>(page));
  DrawBottomText(painter, *res_, x, y + 3 * g.H, line);
  int top = c + 9 * g.H;
  for (const StripPair& pair : pages_[static_cast<std::size_t>(page - 1)]) {
    DrawStrip(painter, *query_, pair.query, top);
    if (database_) DrawStrip(painter, *database_, pair.database, top);
  }
}

void ImprimeHCAali(QWidget* owner, const InfoSeq* query, const InfoSeq* database, int residuePoints, bool pdf) {
  if (query == nullptr) return;
  if (!pdf && !RequirePrinter(CurrentPrinter(), owner)) return;
  HcaPrintOptions options = HcaPrintOptions::FromPlot(*query);
  HcaPrintOptionsDialog dialog(options, owner);
  if (dialog.exec() != QDialog::Accepted) return;
  HcaPrintout printout(*query, database, options, residuePoints);
  if (pdf) ExportPrintoutPdf(owner, printout, "hca.pdf");
  else PrintOnCurrentPrinter(owner, printout, true);
}
