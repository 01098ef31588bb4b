#include "vistram/mapper/gui/map_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTextOption>
#include <algorithm>

#include "vistram/base/command_ids.h"
#include "vistram/mapper/gui/map_printout.h"
#include "vistram/platform/gui/print_job.h"
#include "vistram/platform/messages.h"
#include "vistram/results/records.h"

// ---------------------------------------------------------------------------
// The panes and tips.

class MapTip : public QWidget {
 public:
  MapTip(QWidget* parent, const QFont& font, bool wrap) : QWidget(parent), wrap_(wrap) {
    setFont(font);
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  void SetText(const QString& text) {
    text_ = text;
    update();
  }
  const QString& Text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), kMapTipYellow);
    p.setPen(Qt::black);
    if (wrap_) p.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text_);
    else p.drawText(rect(), Qt::AlignCenter, text_);
  }

 private:
  QString text_;
  bool wrap_;
};

// The legend and the ruler, on white.
class MapCanvas : public QWidget {
 public:
  explicit MapCanvas(StatBlaWindow* w) : QWidget(w), w_(w) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const MapFontMetrics& f = w_->style_.f;
    PaintMapLegend(p, *w_->stat_, w_->style_, QPoint(0, 0));
    PaintMapRuler(p, *w_->stat_, w_->style_, 30 * f.cw + 2, 0, w_->BarsClientWidth());
  }
  void resizeEvent(QResizeEvent*) override { w_->StatBlaWndProc_OnSize(); }

 private:
  StatBlaWindow* w_;
};

namespace {

QPalette GreyPalette(QPalette pal) {
  pal.setColor(QPalette::Window, kMapLightGrey);
  return pal;
}

// The inverted vertical line of the position tracking.
void PaintTrackLine(QPainter& p, const StatBlaWindow& w, int height) {
  if (!w.Tracking() || w.TrackX() < 0) return;
  p.setCompositionMode(QPainter::RasterOp_NotDestination);
  p.setPen(QPen(Qt::black, 0));
  p.drawLine(w.TrackX(), 0, w.TrackX(), height);
}

}  // namespace

class MapNamesPane : public QWidget {
 public:
  explicit MapNamesPane(StatBlaWindow* w, QWidget* parent) : QWidget(parent), w_(w) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const StatData& s = w_->Stat();
    const int lh = w_->Style().f.lh;
    PaintMapNames(p, s, w_->Style(), rect(), s.first, static_cast<std::size_t>(height() / lh + 1));
  }

 private:
  StatBlaWindow* w_;
};

class MapBarsPane : public QWidget {
 public:
  explicit MapBarsPane(StatBlaWindow* w, QWidget* parent) : QWidget(parent), w_(w) {
    setAutoFillBackground(true);
    setPalette(GreyPalette(palette()));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const StatData& s = w_->Stat();
    const int lh = w_->Style().f.lh;
    const QRect area(0, 0, w_->BarsClientWidth(), height());
    PaintMapBars(p, s, w_->Style(), area, area.width(), s.first, static_cast<std::size_t>(height() / lh + 1));
    PaintTrackLine(p, *w_, height());
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) w_->PressBar(e->position().toPoint().x(), e->position().toPoint().y());
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) w_->ReleaseBar();
  }

 private:
  StatBlaWindow* w_;
};

class MapHistogramPane : public QWidget {
 public:
  explicit MapHistogramPane(StatBlaWindow* w, QWidget* parent) : QWidget(parent), w_(w) {
    setAutoFillBackground(true);
    setPalette(GreyPalette(palette()));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    PaintMapHistogram(p, w_->Stat(), w_->Style(), rect(), w_->BarsClientWidth());
    PaintTrackLine(p, *w_, height());
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) w_->BeginTracking(e->position().toPoint().x());
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (w_->Tracking()) w_->MoveTracking(e->position().toPoint().x());
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton && w_->Tracking()) w_->EndTracking();
  }

 private:
  StatBlaWindow* w_;
};

// ---------------------------------------------------------------------------
// The window.

namespace {

// Menu 1012.
struct MapCommand {
  int id;
  const char* text;
};
constexpr MapCommand kOptions[] = {
    {kCmdMapSort, "&Sort"},
    {kCmdMapScale, "Sc&ale..."},
    {kCmdMapSaveImage, "Save as &image..."},
    {kCmdWindowPrint, "&Print"},
    {kCmdPrintSetup, "Prin&t setup..."},
    {kCmdExportPdf, "Export as PDF..."},
};

QString Caption(const StatData& stat, const std::string& tableName) {
  return QStringLiteral("Vistram - map of %1 sequences [%2]")
      .arg(stat.allSelected ? QStringLiteral("all") : QStringLiteral("selected"), QString::fromStdString(tableName));
}

}  // namespace

StatBlaWindow::StatBlaWindow(std::unique_ptr<StatData> stat, const MapPaintStyle& style)
    : QMainWindow(nullptr), stat_(std::move(stat)), style_(style) {
  setObjectName(QStringLiteral("mapWindow"));
  setAttribute(Qt::WA_DeleteOnClose);
  stat_->fontHeight = style_.f.lh;
  QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
  for (const MapCommand& c : kOptions) {
    auto* a = options->addAction(QString::fromUtf8(c.text));
    a->setObjectName(QStringLiteral("command%1").arg(c.id));
    const int id = c.id;
    connect(a, &QAction::triggered, this, [this, id] { StatBlaWndProc_OnCommand(id); });
    actions_[id] = a;
  }
  actions_[kCmdMapSort]->setCheckable(true);
  QAction* exit = menuBar()->addAction(QStringLiteral("&Exit"));
  exit->setObjectName(QStringLiteral("command%1").arg(kCmdExit));
  connect(exit, &QAction::triggered, this, [this] { StatBlaWndProc_OnCommand(kCmdExit); });
  actions_[kCmdExit] = exit;

  canvas_ = new MapCanvas(this);
  canvas_->setObjectName(QStringLiteral("mapCanvas"));
  setCentralWidget(canvas_);
  names_ = new MapNamesPane(this, canvas_);
  names_->setObjectName(QStringLiteral("StatBlaListName"));
  bars_ = new MapBarsPane(this, canvas_);
  bars_->setObjectName(QStringLiteral("StatBlaListGraph"));
  histo_ = new MapHistogramPane(this, canvas_);
  histo_->setObjectName(QStringLiteral("StatBlaListHisto"));
  scroll_ = new QScrollBar(Qt::Vertical, bars_);
  scroll_->setObjectName(QStringLiteral("mapScrollBar"));
  connect(scroll_, &QScrollBar::valueChanged, this,
          [this](int v) { ScrollBars(MapScrollRequest::Thumb, static_cast<std::uint32_t>(std::max(0, v))); });
  setFocusPolicy(Qt::StrongFocus);
}

StatBlaWindow::~StatBlaWindow() {
  // Releases the record and the font with the window.
  DelStatData(stat_);
  emit closed();
}

StatBlaWindow* StatBlaWindow::CreationStatWindows(std::unique_ptr<StatData> stat, const std::string& tableName,
                                                  int fontPoints, QWidget* owner) {
  if (!stat) return nullptr;
  const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
  const int dpi = screen != nullptr ? static_cast<int>(screen->logicalDotsPerInchX()) : 96;
  const QFont font = MakeMapFont(fontPoints, dpi);
  const QString caption = Caption(*stat, tableName);
  auto* w = new StatBlaWindow(std::move(stat), MakeMapPaintStyle(font));
  if (owner != nullptr) {
    w->setParent(owner, Qt::Window);
    w->setAttribute(Qt::WA_DeleteOnClose);
  }
  w->setWindowTitle(caption);
  w->resize(std::max(760, 80 * w->style_.f.cw), std::max(480, 30 * w->style_.f.lh));
  w->show();
  w->StatBlaWndProc_OnSize();
  return w;
}

QAction* StatBlaWindow::CommandAction(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

QWidget* StatBlaWindow::Canvas() const { return canvas_; }
QWidget* StatBlaWindow::NamesPane() const { return names_; }
QWidget* StatBlaWindow::BarsPane() const { return bars_; }
QWidget* StatBlaWindow::HistogramPane() const { return histo_; }
QWidget* StatBlaWindow::PositionTip() const { return positionTip_.data(); }
QWidget* StatBlaWindow::DescriptionTip() const { return descriptionTip_.data(); }
QString StatBlaWindow::PositionTipText() const { return positionTip_ ? positionTip_->Text() : QString(); }

int StatBlaWindow::BarsClientWidth() const {
  return std::max(0, bars_->width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

MapScale StatBlaWindow::BarsScale() const { return MakeMapScale(BarsClientWidth(), style_.f.cw, stat_->L); }

void StatBlaWindow::StatBlaWndProc_OnSize() {
  if (canvas_ == nullptr || bars_ == nullptr) return;
  const MapPanes p = MapPaneLayout(canvas_->width(), canvas_->height(), style_.f);
  const auto place = [](QWidget* w, const MapRect& r) { w->setGeometry(r.left, r.top, r.Width(), r.Height()); };
  place(names_, p.names);
  place(bars_, p.bars);
  place(histo_, p.histogram);
  const int sb = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  scroll_->setGeometry(bars_->width() - sb, 0, sb, bars_->height());
  ReajusteStatGraphScroll();
  canvas_->update();
}

void StatBlaWindow::ReajusteStatGraphScroll() {
  scrollState_ = ::ReajusteStatGraphScroll(*stat_, bars_->height(), style_.f.lh);
  const QSignalBlocker block(scroll_);
  scroll_->setRange(0, static_cast<int>(scrollState_.maximum));
  scroll_->setPageStep(std::max(1, static_cast<int>(stat_->pageSize)));
  scroll_->setSingleStep(1);
  scroll_->setValue(static_cast<int>(stat_->first));
  scroll_->setEnabled(scrollState_.enabled);
  RepaintPanes();
}

void StatBlaWindow::ScrollBars(MapScrollRequest request, std::uint32_t thumb) {
  const std::uint32_t next = MapScrolledFirst(*stat_, scrollState_, request, thumb);
  if (next == stat_->first) return;
  stat_->first = next;
  {
    const QSignalBlocker block(scroll_);
    scroll_->setValue(static_cast<int>(next));
  }
  RepaintPanes();
}

void StatBlaWindow::RepaintPanes() {
  names_->update();
  bars_->update();
}

void StatBlaWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_PageUp: ScrollBars(MapScrollRequest::PageUp); break;
    case Qt::Key_PageDown: ScrollBars(MapScrollRequest::PageDown); break;
    case Qt::Key_Home: ScrollBars(MapScrollRequest::Top); break;
    case Qt::Key_End: ScrollBars(MapScrollRequest::Bottom); break;
    case Qt::Key_Up:
    case Qt::Key_Left: ScrollBars(MapScrollRequest::LineUp); break;
    case Qt::Key_Down:
    case Qt::Key_Right: ScrollBars(MapScrollRequest::LineDown); break;
    default: QMainWindow::keyPressEvent(event); return;
  }
  event->accept();
}

void StatBlaWindow::StatBlaWndProc_OnCommand(int id) {
  switch (id) {
    case kCmdMapSort: CmdSort(); break;
    case kCmdMapScale: CmdScale(); break;
    case kCmdMapSaveImage: CmdSaveImage(); break;
    case kCmdWindowPrint:
    case kCmdExportPdf: {
      MapPrintout printout(*stat_, style_.font.pixelSize() > 0 ? style_.font.pixelSize() : style_.f.lh);
      if (id == kCmdExportPdf) ExportPrintoutPdf(this, printout, "map.pdf");
      else PrintOnCurrentPrinter(this, printout);
      break;
    }
    case kCmdPrintSetup: PrinterSetup(CurrentPrinter(), this); break;
    case kCmdExit: close(); break;
    default: break;
  }
}

void StatBlaWindow::CmdSort() {
  QAction* a = actions_[kCmdMapSort];
  if (a->isChecked()) Tri_StatData(*stat_);
  else UndoTri_StatData(*stat_);
  RepaintPanes();
}

void StatBlaWindow::ApplyScale(const QString& ticks, bool displayLines) {
  bool ok = false;
  const unsigned value = ticks.left(9).toUInt(&ok, 10);
  stat_->scaleTicks = ok ? value : 0;
  stat_->displayLines = displayLines;
  canvas_->update();
  histo_->update();
  RepaintPanes();
}

void StatBlaWindow::CmdScale() {
  QDialog dialog(this);
  dialog.setObjectName(QStringLiteral("scaleDialog"));
  dialog.setWindowTitle(QStringLiteral("Scale"));
  auto* form = new QFormLayout(&dialog);
  auto* ticks = new QLineEdit(QString::number(stat_->scaleTicks), &dialog);
  ticks->setObjectName(QStringLiteral("ticks"));
  ticks->setMaxLength(9);
  ticks->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), ticks));
  auto* lines = new QCheckBox(QStringLiteral("Display lines"), &dialog);
  lines->setObjectName(QStringLiteral("displayLines"));
  lines->setChecked(stat_->displayLines);
  form->addRow(QStringLiteral("Ticks :"), ticks);
  form->addRow(lines);
  auto* buttons = new QDialogButtonBox(&dialog);
  buttons->addButton(QStringLiteral("&Ok"), QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() == QDialog::Accepted) ApplyScale(ticks->text(), lines->isChecked());
  update();
}

void StatBlaWindow::CmdSaveImage() {
  FileDialogRequest request;
  request.title = "Save the map as an image";
  request.filters = {{"SVG picture (*.svg)", "*.svg"}, {"PNG picture (*.png)", "*.png"}};
  request.defaultExtension = "svg";
  request.initialName = "map.svg";
  const FileDialogResult r = CurrentPlatform().SaveFileDialog(this, request);
  if (r.status != FileDialogResult::Status::Chosen) return;
  std::string error;
  QApplication::setOverrideCursor(Qt::WaitCursor);  // a map of many thousand bars takes seconds
  const bool saved = SaveMapPicture(r.path, *stat_, style_, error);
  QApplication::restoreOverrideCursor();
  if (!saved)
    CurrentPlatform().MessageBox(this, LoadStringText(IDS_MAP_CAPTION), error, MsgIcon::Information, MsgButtons::Ok);
}

// ---------------------------------------------------------------------------
// Mouse gestures.

void StatBlaWindow::BeginTracking(int x) {
  tracking_ = true;
  histo_->setCursor(Qt::BlankCursor);
  delete positionTip_.data();
  positionTip_ = new MapTip(canvas_, style_.font, false);
  positionTip_->setObjectName(QStringLiteral("szStatBlaTrackMouse"));
  positionTip_->resize(0, 0);
  MoveTracking(x);
}

void StatBlaWindow::MoveTracking(int x) {
  const int old = trackX_;
  trackX_ = x;
  for (QWidget* pane : {static_cast<QWidget*>(histo_), static_cast<QWidget*>(bars_)}) {
    if (old >= 0) pane->update(old, 0, 1, pane->height());
    pane->update(x, 0, 1, pane->height());
  }
  if (!positionTip_) return;
  const int p = BarsScale().PositionAt(x);
  const QString text = p > 0 ? QString::number(p) : QString();
  positionTip_->SetText(QString::fromStdString(StatTrackText(*stat_, text.toStdString())));
  if (p >= 1 && p <= stat_->L) {
    const MapRect r = MapPositionTip(histo_->x() + x, bars_->y(), style_.f);
    positionTip_->setGeometry(r.left, r.top, r.Width(), r.Height());
    positionTip_->show();
    positionTip_->raise();
  } else {
    positionTip_->hide();
  }
}

void StatBlaWindow::EndTracking() {
  tracking_ = false;
  histo_->setCursor(Qt::ArrowCursor);
  if (trackX_ >= 0) {
    histo_->update(trackX_, 0, 1, histo_->height());
    bars_->update(trackX_, 0, 1, bars_->height());
  }
  trackX_ = -1;
  delete positionTip_.data();
}

void StatBlaWindow::PressBar(int x, int y) {
  MapRect bar;
  const int i = WhichSeqClicked(*stat_, BarsScale(), style_.f.lh, bars_->height(), x, y, &bar);
  if (i < 0) return;
  const MapRect inWindow{bar.left + bars_->x(), bar.top + bars_->y(), bar.right + bars_->x(), bar.bottom + bars_->y()};
  const MapRect r = MapDescriptionTip(inWindow, canvas_->width(), style_.f);
  delete descriptionTip_.data();
  descriptionTip_ = new MapTip(canvas_, style_.font, true);
  descriptionTip_->setObjectName(QStringLiteral("szStatSeqInfoWin"));
  descriptionTip_->SetText(QString::fromStdString(stat_->entries[static_cast<std::size_t>(i)]->description));
  descriptionTip_->setGeometry(r.left, r.top, r.Width(), r.Height());
  descriptionTip_->show();
  descriptionTip_->raise();
}

void StatBlaWindow::ReleaseBar() { delete descriptionTip_.data(); }

// ---------------------------------------------------------------------------
// The entry.

namespace {

class MapProgressDialog : public MapProgress {
 public:
  explicit MapProgressDialog(QWidget* owner) : owner_(owner) {}
  void Begin(std::uint32_t total) override {
    dialog_ = std::make_unique<QProgressDialog>(owner_);
    dialog_->setWindowTitle(QStringLiteral("Preparing map..."));
    dialog_->setCancelButton(nullptr);
    dialog_->setRange(0, static_cast<int>(std::min<std::uint32_t>(total, INT32_MAX)));
    dialog_->setMinimumDuration(500);
    stride_ = std::max<std::uint32_t>(1, total / 100);
  }
  void Step(std::uint32_t done, std::uint32_t total) override {
    if (!dialog_ || (done % stride_ != 0 && done != total)) return;
    dialog_->setLabelText(QStringLiteral("%1/%2").arg(done).arg(total));
    dialog_->setValue(static_cast<int>(std::min<std::uint32_t>(done, INT32_MAX)));
  }
  void End() override { dialog_.reset(); }

 private:
  QWidget* owner_;
  std::unique_ptr<QProgressDialog> dialog_;
  std::uint32_t stride_ = 1;
};

}  // namespace

StatBlaWindow* CreationStatBlaWin(QWidget* mainWindow, const DataProgram& dp, int totalAlignments,
                                  const std::string& tableName) {
  std::unique_ptr<StatData> stat = InitStatData();
  if (!stat) {
    MyInfoMsgBox(IDS_MAP_CAPTION, IDS_MAP_CANNOT_PREPARE, mainWindow);
    return nullptr;
  }
  MapProgressDialog progress(mainWindow);
  if (PrepareStatData(*stat, dp, totalAlignments, &progress, mainWindow) != 1) return nullptr;
  StatBlaWindow* w = nullptr;
  try {
    w = StatBlaWindow::CreationStatWindows(std::move(stat), tableName, dp.prefs.listFontSize, mainWindow);
  } catch (const std::bad_alloc&) {
    w = nullptr;
  }
  if (w == nullptr) MyInfoMsgBox(IDS_MAP_CAPTION, IDS_MAP_CANNOT_LOAD, mainWindow);
  return w;
}
