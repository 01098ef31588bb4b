#include "vistram/hca/gui/hca_viewer.h"

#include "vistram/hca/gui/hca_printout.h"
#include "vistram/platform/gui/print_job.h"

#include <QContextMenuEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "vistram/hca/gui/hca_printout.h"
#include "vistram/hca/hca_plot_file.h"
#include "vistram/platform/gui/print_job.h"
#include "vistram/hca/hca_sequence_source.h"
#include "vistram/platform/messages.h"
#include "vistram/results/records.h"
#include "vistram/seqio/gui/download_dialog.h"

namespace {

WindowHandle Handle(QWidget* w) { return static_cast<WindowHandle>(w); }

void SayNoSequence(QWidget* owner) {
  CurrentPlatform().MessageBox(Handle(owner), LoadStringText(IDS_CAPTION), "Unable to retrieve the sequence.",
                               MsgIcon::Information, MsgButtons::Ok);
}

std::optional<HcaDeviceResources> ScreenResources(const HcaViewerSettings& settings) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int dpi = screen ? std::max(1, static_cast<int>(screen->logicalDotsPerInchX())) : 96;
  return MakeHcaDeviceResources(dpi, settings.residuePoints, kHcaScreen);
}

}  // namespace

HcaViewerSettings MakeHcaViewerSettings(const DataProgram& dp, const QFont& listFont) {
  HcaViewerSettings s;
  s.residuePoints = dp.prefs.hca.letterFontSize;
  s.listFont = listFont;
  s.configPath = dp.configPath;
  s.programFolder = dp.programFolder;
  return s;
}

// ---------------------------------------------------------------- plot window

HcaPlotWidget::HcaPlotWidget(HcaWindow& owner, int slot, std::unique_ptr<InfoSeq> seq, QWidget* parent)
    : QWidget(parent), owner_(owner), slot_(slot), seq_(std::move(seq)) {
  setObjectName(QStringLiteral("Trace HCA"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  // InitHCAGraphDATA: the view state of a new plot.
  seq_->visibleResidues = 0;
  seq_->scrollPos = 0;
  seq_->scrollable = 0;
  seq_->colourMode = 0;
  seq_->showLetters = seq_->showColours = seq_->showContours = seq_->showZigzags = seq_->showMarkers = 1;
}

void HcaPlotWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), Qt::white);
  DRAWHCAWND(painter, *seq_, owner_.Resources(), event->rect());
}

void HcaPlotWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && owner_.Independent()) owner_.DrawHCAProc_OnLButtonDown(slot_);
  QWidget::mousePressEvent(event);
}

void HcaPlotWidget::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  owner_.AddSaveActions(menu);
  menu.exec(event->globalPos());
}

// ---------------------------------------------------------------- header band

HcaHeaderBand::HcaHeaderBand(HcaWindow& owner, QWidget* parent) : QWidget(parent), owner_(owner) {
  const QFontMetrics fm(owner.Settings().listFont);
  setFixedHeight(2 * fm.height() + 2);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
}

void HcaHeaderBand::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QFont& font = owner_.Settings().listFont;
  painter.setFont(font);
  painter.setBackgroundMode(Qt::TransparentMode);
  const QFontMetrics fm(font);
  const int cw = std::max(1, fm.averageCharWidth());
  const int lh = fm.height();
  const int ascent = fm.ascent();
  painter.setPen(Qt::black);
  painter.drawLine(0, 0, width(), 0);
  const InfoSeq* first = owner_.Plot(0);
  const InfoSeq* second = owner_.Plot(1);
  const QColor blue(0, 0, 255);
  int x = 2 * cw;
  if (first) {
    painter.setPen(Qt::black);
    painter.drawText(QPoint(2 * cw, 1 + ascent), QStringLiteral("Sequences loaded :"));
    painter.setPen(owner_.ActiveIndex() == 0 ? blue : QColor(Qt::black));
    painter.drawText(QPoint(x, 1 + lh + ascent), QString::fromStdString(first->seqName));
  }
  if (second) {
    const int vsX = x + cw * (static_cast<int>(first ? first->seqName.size() : 0) + 2);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(vsX, 1 + lh + ascent), QStringLiteral("vs."));
    painter.setPen(owner_.ActiveIndex() == 1 ? blue : QColor(Qt::black));
    painter.drawText(QPoint(vsX + 5 * cw, 1 + lh + ascent), QString::fromStdString(second->seqName));
  }
}

// ---------------------------------------------------------------- frame

HcaFrame::HcaFrame(HcaWindow& owner, QWidget* parent) : QWidget(parent), owner_(owner) {
  setObjectName(QStringLiteral("HcaFrame"));
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(1, 1, 1, 1);
  grid->setSpacing(0);
  viewport_ = new QWidget(this);
  viewport_->setAutoFillBackground(true);
  QPalette pal = viewport_->palette();
  pal.setColor(QPalette::Window, Qt::white);
  viewport_->setPalette(pal);
  hbar_ = new QScrollBar(Qt::Horizontal, this);
  vbar_ = new QScrollBar(Qt::Vertical, this);
  hbar_->setEnabled(false);
  vbar_->setEnabled(false);
  grid->addWidget(viewport_, 0, 0);
  grid->addWidget(vbar_, 0, 1);
  grid->addWidget(hbar_, 1, 0);
}

QSize HcaFrame::ClientSize() const { return viewport_->size(); }

void HcaFrame::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  owner_.HCAWndProc_OnSize();
}

// ---------------------------------------------------------------- HCA window

HcaWindow::HcaWindow(int kind, HcaViewerSettings settings, HcaDeviceResources res, QWidget* parent)
    : QWidget(parent), settings_(std::move(settings)), res_(std::move(res)), independent_(kind == kHcaFullViewer) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  band_ = new HcaHeaderBand(*this, this);
  frame_ = new HcaFrame(*this, this);
  layout->addWidget(band_);
  layout->addWidget(frame_, 1);
  // Inside the main window only the frame shows; the band belongs to the
  // top-level window of the Full HCA Viewer.
  band_->setVisible(kind == kHcaFullViewer);
  connect(frame_->HBar(), &QScrollBar::valueChanged, this, [this](int v) {
    if (!updatingBars_) HcaFrameProc_MyOnHScroll(HScroll::Thumb, v);
  });
  connect(frame_->VBar(), &QScrollBar::valueChanged, this, [this](int v) {
    if (!updatingBars_) HcaFrameProc_OnVScroll(VScroll::Thumb, v);
  });
}

HcaWindow::~HcaWindow() {
  // HCAWndProc_OnDestroy: the plots (and their records) go with the frame.
  emit closed();
}

const InfoSeq* HcaWindow::Plot(int slot) const {
  if (slot < 0 || slot > 1 || !plots_[static_cast<std::size_t>(slot)]) return nullptr;
  return &plots_[static_cast<std::size_t>(slot)]->Seq();
}

HcaPlotWidget* HcaWindow::PlotWidget(int slot) const {
  if (slot < 0 || slot > 1) return nullptr;
  return plots_[static_cast<std::size_t>(slot)].data();
}

bool HcaWindow::CreationNvHCA(std::string_view characters, const std::vector<int>& textColours,
                              const std::vector<int>& backColours, int firstNumber, std::string_view name, int slot) {
  if (slot < 0 || slot > 1) return false;
  plotsAllocated_ = true;
  auto& holder = plots_[static_cast<std::size_t>(slot)];
  delete holder.data();
  holder = nullptr;
  auto seq = BuildHcaSequence(characters, textColours, backColours, firstNumber, name, settings_.programFolder,
                              res_.geometry);
  if (!seq) {
    if (activeIndex_ == slot) activeIndex_ = -1;
    ActiveDesactiveScroll();
    band_->update();
    return false;
  }
  auto* plot = new HcaPlotWidget(*this, slot, std::move(seq), frame_->Viewport());
  holder = plot;
  if (plotCount_ < 2) plotCount_ = slot == 0 ? 1 : 2;
  UpdateVerticalScroll(true);
  ReposAllWnd();
  plot->show();
  SetActive(slot);
  SetPlotVisibleResidues(*plot);
  ActiveDesactiveScroll();
  return true;
}

void HcaWindow::FermeHCADiag() {
  for (auto& p : plots_) {
    delete p.data();
    p = nullptr;
  }
  activeIndex_ = -1;
  updatingBars_ = true;
  frame_->HBar()->setEnabled(false);
  updatingBars_ = false;
  band_->update();
}

void HcaWindow::SetActive(int slot) {
  activeIndex_ = slot;
  band_->update();
}

void HcaWindow::SetPlotVisibleResidues(HcaPlotWidget& plot) {
  plot.Seq().visibleResidues = RoundDouble((plot.width() + 1) / res_.geometry.dx);
  plot.Seq().scrollable = 1;
}

void HcaWindow::UpdateVerticalScroll(bool toEnd) {
  const int clientHeight = frame_->ClientSize().height();
  const int oldMax = frame_->VBar()->maximum();
  const int fromEnd = oldMax - vScrollPos_;
  totalHeight_ = plotCount_ * res_.stripHeight + 2 * res_.geometry.H;
  updatingBars_ = true;
  if (totalHeight_ > clientHeight) {
    const int max = totalHeight_ - clientHeight;
    vScrollable_ = true;
    frame_->VBar()->setEnabled(true);
    frame_->VBar()->setRange(0, max);
    frame_->VBar()->setSingleStep(std::max(1, res_.stripHeight / 2));
    frame_->VBar()->setPageStep(std::max(1, clientHeight));
    vScrollPos_ = toEnd ? max : std::clamp(max - fromEnd, 0, max);
    frame_->VBar()->setValue(vScrollPos_);
  } else {
    vScrollable_ = false;
    frame_->VBar()->setRange(0, 0);
    frame_->VBar()->setEnabled(false);
    vScrollPos_ = 0;
  }
  updatingBars_ = false;
}

void HcaWindow::ReposAllWnd() {
  const QSize client = frame_->ClientSize();
  const int W = res_.geometry.W;
  const int width = std::max(1, client.width() - 2 * W);
  for (int i = 0; i < 2; ++i) {
    HcaPlotWidget* plot = plots_[static_cast<std::size_t>(i)].data();
    if (!plot) continue;
    const QRect r(W, res_.stripHeight * i + res_.geometry.H - vScrollPos_, width, res_.stripHeight);
    plot->setGeometry(r);
    InfoSeq& seq = plot->Seq();
    seq.frameLeft = r.left();
    seq.frameTop = r.top();
    seq.frameRight = r.left() + r.width();
    seq.frameBottom = r.top() + r.height();
  }
  pageStep_ = RoundDouble((client.width() - 2 * W) / res_.geometry.dx);
}

void HcaWindow::ActiveDesactiveScroll() {
  QScrollBar* bar = frame_->HBar();
  updatingBars_ = true;
  const InfoSeq* active = Plot(activeIndex_);
  if (plotCount_ > 0 && active && active->scrollable) {
    bar->setEnabled(true);
    bar->setRange(active->firstIndex - active->visibleResidues, active->firstIndex + active->count);
    bar->setSingleStep(lineStep_);
    bar->setPageStep(std::max(1, pageStep_));
    bar->setValue(active->scrollPos);
  } else {
    bar->setEnabled(false);
  }
  updatingBars_ = false;
}

void HcaWindow::HcaFrameProc_MyOnHScroll(HScroll request, int position) {
  HcaPlotWidget* activePlot = PlotWidget(activeIndex_);
  if (!activePlot) return;
  InfoSeq& active = activePlot->Seq();
  const int lo = active.firstIndex - active.visibleResidues + 1;
  const int hi = active.firstIndex + active.count;
  const int old = active.scrollPos;
  int pos = old;
  if ((request == HScroll::PageLeft || request == HScroll::PageRight) && pageStep_ == 0 && plotCount_ == 1)
    ReposAllWnd();
  switch (request) {
    case HScroll::LineLeft: pos -= lineStep_; break;
    case HScroll::LineRight: pos += lineStep_; break;
    case HScroll::PageLeft: pos -= pageStep_; break;
    case HScroll::PageRight: pos += pageStep_; break;
    case HScroll::Thumb: pos = position; break;
  }
  pos = std::clamp(pos, lo, std::max(lo, hi));
  if (pos != old) {
    // The content moves by the difference of the two x origins, so that the
    // moved pixels and the repainted strip meet exactly.
    const int shift = HcaXOrigin(active, res_.geometry);
    auto move = [&](HcaPlotWidget* plot) {
      if (!plot) return;
      plot->Seq().scrollPos = pos;
      plot->scroll(shift - HcaXOrigin(plot->Seq(), res_.geometry), 0);
    };
    if (independent_) {
      move(activePlot);
    } else {
      for (auto& p : plots_) move(p.data());
    }
  }
  updatingBars_ = true;
  frame_->HBar()->setValue(pos);
  updatingBars_ = false;
}

void HcaWindow::HcaFrameProc_OnVScroll(VScroll request, int position) {
  if (!vScrollable_) return;
  const int clientHeight = frame_->ClientSize().height();
  int pos = vScrollPos_;
  switch (request) {
    case VScroll::LineUp: pos -= res_.stripHeight / 2; break;
    case VScroll::LineDown: pos += res_.stripHeight / 2; break;
    case VScroll::PageUp: pos -= clientHeight; break;
    case VScroll::PageDown: pos += clientHeight; break;
    case VScroll::Thumb: pos = position; break;
  }
  pos = std::clamp(pos, 0, std::max(0, totalHeight_ - clientHeight));
  if (pos == vScrollPos_) return;
  vScrollPos_ = pos;
  updatingBars_ = true;
  frame_->VBar()->setValue(pos);
  updatingBars_ = false;
  ReposAllWnd();
}

void HcaWindow::DrawHCAProc_OnLButtonDown(int slot) {
  if (!independent_ || slot == activeIndex_ || !Plot(slot)) return;
  SetActive(slot);
  ActiveDesactiveScroll();
}

void HcaWindow::HCAWndProc_OnSize() {
  UpdateVerticalScroll(false);
  ReposAllWnd();
  for (auto& p : plots_) {
    if (!p) continue;
    SetPlotVisibleResidues(*p);
    p->update();
  }
  ActiveDesactiveScroll();
}

void HcaWindow::AddSaveActions(QMenu& menu) {
  auto add = [&](int id, const QString& text, bool enabled) {
    QAction* a = menu.addAction(text);
    a->setData(id);
    a->setEnabled(enabled);
    connect(a, &QAction::triggered, this, [this, id] { HCAMainWndProc_OnCommand(id); });
  };
  add(kCmdHcaSaveQueryPlot, QString::fromStdString(LoadStringText(IDS_HCA_TIP_SAVE_QUERY)), Plot(0) != nullptr);
  add(kCmdHcaSaveDbPlot, QString::fromStdString(LoadStringText(IDS_HCA_TIP_SAVE_DB)), Plot(1) != nullptr);
  add(kCmdHcaSaveImage, QStringLiteral("Save as image..."), Plot(0) != nullptr || Plot(1) != nullptr);
  add(kCmdHcaPrint, QString::fromStdString(LoadStringText(114)), Plot(0) != nullptr);
  add(kCmdExportPdf, QStringLiteral("Export as PDF..."), Plot(0) != nullptr);
}

void HcaWindow::HCAMainWndProc_OnCommand(int id) {
  switch (id) {
    case kCmdHcaSaveQueryPlot:
      if (const InfoSeq* p = Plot(0)) SaveHCAPlot(Handle(this), *p);
      break;
    case kCmdHcaSaveDbPlot:
      if (const InfoSeq* p = Plot(1)) SaveHCAPlot(Handle(this), *p);
      break;
    case kCmdHcaSaveImage: SaveAsImage(); break;
    case kCmdHcaPrint: ImprimeHCAali(this, Plot(0), Plot(1), settings_.residuePoints); break;
    case kCmdExportPdf: ImprimeHCAali(this, Plot(0), Plot(1), settings_.residuePoints, true); break;
    case kCmdPrintSetup: PrinterSetup(CurrentPrinter(), this); break;
    default: break;
  }
}

int HcaWindow::SaveAsImage() {
  std::vector<const InfoSeq*> plots;
  for (int i = 0; i < 2; ++i)
    if (const InfoSeq* p = Plot(i)) plots.push_back(p);
  if (plots.empty()) return 0;
  FileDialogRequest request;
  request.title = "Save as image";
  request.filters = {{"SVG picture (*.svg)", "*.svg"}, {"PNG picture (*.png)", "*.png"}};
  request.defaultExtension = "svg";
  request.initialFolder = settings_.programFolder;
  request.mustExist = true;
  const FileDialogResult chosen = CurrentPlatform().SaveFileDialog(Handle(this), request);
  if (chosen.status == FileDialogResult::Status::Cancelled) return 0;
  std::string path = chosen.path;
  const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
  if (suffix != QStringLiteral("svg") && suffix != QStringLiteral("png")) path += ".svg";
  if (chosen.status == FileDialogResult::Status::Chosen && SaveHcaPicture(path, plots, res_)) return 1;
  MyInfoMsgBox(IDS_HCA_CAPTION, IDS_HCA_CANNOT_CREATE, Handle(this));
  return -1;
}

// ---------------------------------------------------------------- HCA Viewer

HcaViewer::HcaViewer(HcaViewerSettings settings, HcaDeviceResources res, QWidget* parent)
    : HcaWindow(AFFICHAGE_HCA, std::move(settings), std::move(res), parent) {
  setObjectName(QStringLiteral("HCA-Scope II"));
}

HcaViewer* HcaViewer::Create(const HcaViewerSettings& settings, QWidget* parent) {
  auto res = ScreenResources(settings);
  if (!res) {
    MyInfoMsgBox(IDS_HCA_CAPTION, IDS_HCA_NO_GDI, Handle(parent));
    return nullptr;
  }
  return new HcaViewer(settings, std::move(*res), parent);
}

void HcaViewer::ShowHsp(const VisualHaspData& view, std::string_view queryName, std::string_view hitIdentifier) {
  FermeHCADiag();
  CreationNvHCA(view.queryLine, view.queryTextColours, view.queryBackColours, view.queryStart, queryName, 0);
  CreationNvHCA(view.subjectLine, view.subjectTextColours, view.subjectBackColours, view.subjectStart,
                hitIdentifier, 1);
}

void HcaViewer::ShowAlignment(const AliData& ali, std::string_view queryName, std::string_view hitIdentifier) {
  FermeHCADiag();
  std::vector<int> text, back;
  HcaColoursForSequence(Settings().configPath, ali.queryLine, text, back);
  CreationNvHCA(ali.queryLine, text, back, ali.queryStart, queryName, 0);
  HcaColoursForSequence(Settings().configPath, ali.subjectLine, text, back);
  CreationNvHCA(ali.subjectLine, text, back, ali.subjectStart, hitIdentifier, 1);
}

QSize HcaViewer::sizeHint() const {
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  return QSize(600, 2 * StripHeight() + 2 * Resources().geometry.H + bar + 2);
}

// ---------------------------------------------------------------- Full HCA Viewer

FullHcaViewer::FullHcaViewer(HcaViewerSettings settings, HcaDeviceResources res, QWidget* parent)
    : HcaWindow(kHcaFullViewer, std::move(settings), std::move(res), parent) {
  setObjectName(QStringLiteral("HCA-Scope II"));
  setWindowTitle(QStringLiteral("HCA-Scope II"));
  setWindowFlag(Qt::Window);
  setAttribute(Qt::WA_DeleteOnClose);
  auto* bar = new QMenuBar(this);
  fileMenu_ = bar->addMenu(QStringLiteral("&File"));
  auto add = [this](QMenu* menu, int id, const QString& text) {
    QAction* a = menu->addAction(text);
    a->setData(id);
    connect(a, &QAction::triggered, this, [this, id] { HCAMainWndProc_OnCommand(id); });
    return a;
  };
  QMenu* query = fileMenu_->addMenu(QStringLiteral("Load Query"));
  add(query, kCmdHcaLoadQueryFile, QStringLiteral("from file"));
  add(query, kCmdHcaLoadQueryNet, QStringLiteral("from network"));
  dbMenu_ = fileMenu_->addMenu(QStringLiteral("Load DB seq."));
  add(dbMenu_, kCmdHcaLoadDbFile, QStringLiteral("from file"));
  add(dbMenu_, kCmdHcaLoadDbNet, QStringLiteral("from network"));
  fileMenu_->addSeparator();
  add(fileMenu_, kCmdHcaSaveQueryPlot, QString::fromStdString(LoadStringText(IDS_HCA_TIP_SAVE_QUERY)));
  add(fileMenu_, kCmdHcaSaveDbPlot, QString::fromStdString(LoadStringText(IDS_HCA_TIP_SAVE_DB)));
  add(fileMenu_, kCmdHcaSaveImage, QStringLiteral("Save as image..."));
  fileMenu_->addSeparator();
  add(fileMenu_, kCmdHcaPrint, QString::fromStdString(LoadStringText(114)));
  add(fileMenu_, kCmdExportPdf, QStringLiteral("Export as PDF..."));
  add(fileMenu_, kCmdPrintSetup, QStringLiteral("Printer setup"));
  connect(fileMenu_, &QMenu::aboutToShow, this, [this] { HCAMainWndProc_OnInitMenu(); });
  HCAMainWndProc_OnInitMenu();
  static_cast<QVBoxLayout*>(layout())->setMenuBar(bar);

  // Full screen width; tall enough for two strips, the band and the bars.
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const int height = bar->sizeHint().height() + 2 * StripHeight() + 2 * scrollBar + HeaderBand()->height() + 4;
  setMinimumSize(avail.width() / 3, std::min(height, avail.height()));
  setMaximumHeight(std::max(avail.height(), height));
  resize(avail.width(), std::min(height, avail.height()));
}

FullHcaViewer* FullHcaViewer::Create(const HcaViewerSettings& settings, QWidget* parent) {
  auto res = ScreenResources(settings);
  if (!res) {
    MyInfoMsgBox(IDS_HCA_CAPTION, IDS_HCA_NO_GDI, Handle(parent));
    return nullptr;
  }
  return new FullHcaViewer(settings, std::move(*res), parent);
}

void FullHcaViewer::HCAMainWndProc_OnInitMenu() {
  dbMenu_->setEnabled(DbLoadEnabled());
  for (QAction* a : fileMenu_->actions()) {
    const int id = a->data().toInt();
    if (id == kCmdHcaSaveQueryPlot) a->setEnabled(Plot(0) != nullptr);
    if (id == kCmdHcaSaveDbPlot) a->setEnabled(Plot(1) != nullptr);
    if (id == kCmdHcaSaveImage) a->setEnabled(Plot(0) != nullptr || Plot(1) != nullptr);
    if (id == kCmdHcaPrint || id == kCmdExportPdf) a->setEnabled(Plot(0) != nullptr);
  }
}

void FullHcaViewer::ShowSequence(const std::string& residues, const std::string& name, int slot) {
  std::vector<int> text, back;
  HcaColoursForSequence(Settings().configPath, residues, text, back);
  CreationNvHCA(residues, text, back, 1, name, slot);
  HeaderBand()->update();
  HCAMainWndProc_OnInitMenu();
}

void FullHcaViewer::LoadFromFile(int slot) {
  std::string residues, name;
  switch (HcaChooseSequenceFile(Handle(this), Settings().programFolder, residues, name)) {
    case HcaLoadResult::Cancelled: return;
    case HcaLoadResult::Failed: SayNoSequence(this); return;
    case HcaLoadResult::Loaded: ShowSequence(residues, name, slot); return;
  }
}

void FullHcaViewer::LoadFromNetwork(int slot) {
  // The dialog has told the user why a download failed; a downloaded
  // sequence has no name.
  const SequenceText text = HCAWndProc_OuvrirNet(this);
  if (!text) {
    SayNoSequence(this);
    return;
  }
  ShowSequence(text.get(), std::string(), slot);
}

bool FullHcaViewer::LoadSequenceFile(const std::string& path, int slot) {
  if (slot == 1 && !DbLoadEnabled()) return false;
  std::string residues, name;
  if (!HcaReadSequenceFile(path, residues, name)) {
    SayNoSequence(this);
    return false;
  }
  ShowSequence(residues, name, slot);
  return Plot(slot) != nullptr;
}

void FullHcaViewer::HCAMainWndProc_OnCommand(int id) {
  switch (id) {
    case kCmdHcaLoadQueryFile: LoadFromFile(0); break;
    case kCmdHcaLoadDbFile:
      if (DbLoadEnabled()) LoadFromFile(1);
      break;
    case kCmdHcaLoadQueryNet: LoadFromNetwork(0); break;
    case kCmdHcaLoadDbNet:
      if (DbLoadEnabled()) LoadFromNetwork(1);
      break;
    default: HcaWindow::HCAMainWndProc_OnCommand(id); break;
  }
}

void FullHcaViewer::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  AddSaveActions(menu);
  menu.exec(event->globalPos());
}

HcaLegendWidget::HcaLegendWidget(const QFont& font, int cw, int lh, QWidget* parent)
    : QWidget(parent), font_(font), cw_(std::max(1, cw)), lh_(std::max(1, lh)) {
  setObjectName(QStringLiteral("hcaLegend"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

QSize HcaLegendWidget::sizeHint() const {
  // The last line's symbols reach about 2.5 lines below its base height.
  return QSize(8 * cw_, 3 * lh_ + 16 + 3 * lh_);
}

void HcaLegendWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  TraceHCAlegend(painter, 0, 0, font_, cw_, lh_);
}

HcaWindow* CreeHCAWindows(int kind, const HcaViewerSettings& settings, QWidget* parent) {
  if (kind == kHcaFullViewer) return FullHcaViewer::Create(settings, parent);
  return HcaViewer::Create(settings, parent);
}
