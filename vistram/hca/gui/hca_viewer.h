// The HCA windows: a header band naming the loaded sequences, a frame with
// both scroll bars, and inside it one plot window per sequence (slot 0 the
// query, slot 1 the database sequence), each owning its InfoSeq.
//
// Two viewers share this machinery:
// - HcaViewer (main-window command 3014): shows the current HSP as two
//   aligned plots inside the main window, in place of the pairwise view;
//   both plots scroll together; the header band is not shown.
// - FullHcaViewer (main-window command 3015): the top-level window
//   "HCA-Scope II" whose File menu loads a query and a database sequence
//   from sequence files or from NCBI; its plots scroll independently, and a click on a
//   plot makes it the one the horizontal scroll bar drives.
//
// Use from the main window:
//   auto* v = HcaViewer::Create(settings, mainWindow);   // null after "Unable to create GDI objects."
//   layout->addWidget(v); v->ShowHsp(viewer, queryName, hitIdentifier);  // every HSP change
//   v->Empty();            // closing the report
//   delete v;              // command 3014 again; emits closed() first
//   auto* f = FullHcaViewer::Create(settings); f->show();  // 3015; it deletes itself on close
//   connect(v, &HcaWindow::closed, ...) to uncheck the menu item.
// While the HcaViewer exists the main window paints the symbol legend with
// TraceHCAlegend (hca_draw.h).
#pragma once
#include <QFont>
#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vistram/base/command_ids.h"
#include "vistram/hca/gui/hca_draw.h"
#include "vistram/hca/hca_model.h"

class QMenu;
class QScrollBar;
struct AliData;
struct DataProgram;
struct VisualHaspData;

// What an HCA window needs from the main window.
struct HcaViewerSettings {
  int residuePoints = 8;  // HCAFNTSIZE
  QFont listFont;         // the main window's list font (header band)
  std::string configPath;     // for the HCA colour code
  std::string programFolder;  // initial folder of the file dialogs; the plots' programPath
};

// The settings of the main window's DataProgram: the HCA font size of the
// run's display preferences (HCA_PREF/HCAFNTSIZE), the configuration path
// and the program folder, with the main window's list font.
HcaViewerSettings MakeHcaViewerSettings(const DataProgram& dp, const QFont& listFont);

// Kinds of HCA window.
inline constexpr int kHcaFullViewer = 1;
inline constexpr int AFFICHAGE_HCA = 2;

// Commands of the HCA window: kCmdHca* of vistram/base/command_ids.h.

class HcaWindow;

// A plot window ("Trace HCA"): paints its record, reports left clicks.
class HcaPlotWidget : public QWidget {
  Q_OBJECT
 public:
  HcaPlotWidget(HcaWindow& owner, int slot, std::unique_ptr<InfoSeq> seq, QWidget* parent);
  InfoSeq& Seq() { return *seq_; }
  const InfoSeq& Seq() const { return *seq_; }
  int Slot() const { return slot_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  HcaWindow& owner_;
  int slot_;
  std::unique_ptr<InfoSeq> seq_;
};

// The header band (DRAWHCANAMES).
class HcaHeaderBand : public QWidget {
  Q_OBJECT
 public:
  explicit HcaHeaderBand(HcaWindow& owner, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  HcaWindow& owner_;
};

// The frame ("HcaFrame"): the plots' area and both scroll bars.
class HcaFrame : public QWidget {
  Q_OBJECT
 public:
  explicit HcaFrame(HcaWindow& owner, QWidget* parent);
  QWidget* Viewport() const { return viewport_; }
  QScrollBar* HBar() const { return hbar_; }
  QScrollBar* VBar() const { return vbar_; }
  // The client area that holds the plots.
  QSize ClientSize() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  HcaWindow& owner_;
  QWidget* viewport_;
  QScrollBar* hbar_;
  QScrollBar* vbar_;
};

// The common HCA window (HcaViewData and its handlers).
class HcaWindow : public QWidget {
  Q_OBJECT
 public:
  ~HcaWindow() override;

  // Builds a sequence's plot and shows it in `slot` (0 or 1), replacing the
  // plot there. False when the plot cannot be built (the slot is then empty).
  bool CreationNvHCA(std::string_view characters, const std::vector<int>& textColours,
                     const std::vector<int>& backColours, int firstNumber, std::string_view name, int slot);
  // Removes both plots and disables the horizontal scroll bar.
  void FermeHCADiag();
  // The command handler of the window (menu items and plot context menus).
  virtual void HCAMainWndProc_OnCommand(int id);

  // State, for the windows' painting and for tests.
  const InfoSeq* Plot(int slot) const;
  HcaPlotWidget* PlotWidget(int slot) const;
  int PlotCount() const { return plotCount_; }
  int ActiveIndex() const { return activeIndex_; }
  bool Independent() const { return independent_; }
  int StripHeight() const { return res_.stripHeight; }
  int TotalHeight() const { return totalHeight_; }
  int VScrollPos() const { return vScrollPos_; }
  int PageStep() const { return pageStep_; }
  const HcaDeviceResources& Resources() const { return res_; }
  const HcaViewerSettings& Settings() const { return settings_; }
  HcaFrame* Frame() const { return frame_; }
  HcaHeaderBand* HeaderBand() const { return band_; }

  // Horizontal scrolling in residues (HcaFrameProc_MyOnHScroll): a line or
  // a page left/right, or a position of the thumb.
  enum class HScroll { LineLeft, LineRight, PageLeft, PageRight, Thumb };
  void HcaFrameProc_MyOnHScroll(HScroll request, int position = 0);
  // Vertical scrolling in pixels.
  enum class VScroll { LineUp, LineDown, PageUp, PageDown, Thumb };
  void HcaFrameProc_OnVScroll(VScroll request, int position = 0);
  // Makes the plot of `slot` the active plot (Full viewer clicks).
  void DrawHCAProc_OnLButtonDown(int slot);
  // Lays the frame and the plots out again (after a resize).
  void HCAWndProc_OnSize();

  // Writes the plots as an SVG or PNG picture (asks for the name). 1 written,
  // 0 cancelled, -1 after the "Unable to create File." message.
  int SaveAsImage();

 signals:
  // Emitted while the window is being destroyed (the main window unchecks
  // its command); the receiver must not call the window any more.
  void closed();

 protected:
  HcaWindow(int kind, HcaViewerSettings settings, HcaDeviceResources res, QWidget* parent);
  // Adds the plot file and picture commands to a menu.
  void AddSaveActions(QMenu& menu);

 private:
  friend class HcaPlotWidget;
  friend class HcaFrame;
  void ReposAllWnd();
  void ActiveDesactiveScroll();
  void UpdateVerticalScroll(bool toEnd);
  void SetPlotVisibleResidues(HcaPlotWidget& plot);
  void SetActive(int slot);
  void OnHBarAction(int action);
  void OnVBarAction(int action);

  HcaViewerSettings settings_;
  HcaDeviceResources res_;
  std::array<QPointer<HcaPlotWidget>, 2> plots_{};
  bool plotsAllocated_ = false;
  HcaHeaderBand* band_ = nullptr;
  HcaFrame* frame_ = nullptr;
  int plotCount_ = 0;
  int vScrollPos_ = 0;
  bool vScrollable_ = false;
  int totalHeight_ = 0;
  int activeIndex_ = -1;
  int lineStep_ = 10;
  int pageStep_ = 0;
  bool independent_ = false;
  bool updatingBars_ = false;
};

// The HCA Viewer shown inside the main window.
class HcaViewer : public HcaWindow {
  Q_OBJECT
 public:
  // Null (after "Unable to create GDI objects." / "HCA viewer") when the fonts cannot be made.
  static HcaViewer* Create(const HcaViewerSettings& settings, QWidget* parent);
  // Replaces the plots by those of the pairwise view's current HSP: its query
  // line with its query colours from queryStart, named `queryName`, above its
  // subject line with its subject colours from subjectStart, named `hitIdentifier`.
  void ShowHsp(const VisualHaspData& view, std::string_view queryName, std::string_view hitIdentifier);
  // The same from an alignment record, with the HCA colour code.
  void ShowAlignment(const AliData& ali, std::string_view queryName, std::string_view hitIdentifier);
  // Removes both plots (closing the report).
  void Empty() { FermeHCADiag(); }
  QSize sizeHint() const override;

 private:
  HcaViewer(HcaViewerSettings settings, HcaDeviceResources res, QWidget* parent);
};

// The Full HCA Viewer, "HCA-Scope II".
class FullHcaViewer : public HcaWindow {
  Q_OBJECT
 public:
  // Null (after the message) when the fonts cannot be made. The window deletes itself when closed.
  static FullHcaViewer* Create(const HcaViewerSettings& settings, QWidget* parent = nullptr);
  // Loads a sequence file into `slot` (0 query, 1 database) as the File menu
  // does: on failure "Unable to retrieve the sequence." and the plots stay.
  bool LoadSequenceFile(const std::string& path, int slot);
  // The "Load DB seq." items are available once a query is loaded.
  bool DbLoadEnabled() const { return PlotCount() > 0; }
  void HCAMainWndProc_OnCommand(int id) override;

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  FullHcaViewer(HcaViewerSettings settings, HcaDeviceResources res, QWidget* parent);
  void ShowSequence(const std::string& residues, const std::string& name, int slot);
  void LoadFromFile(int slot);
  void LoadFromNetwork(int slot);
  void HCAMainWndProc_OnInitMenu();
  QMenu* fileMenu_ = nullptr;
  QMenu* dbMenu_ = nullptr;
};

// The symbol legend that the main window shows beside the HCA Viewer
// (TraceHCAlegend with the main window's list font). Transparent to clicks.
class HcaLegendWidget : public QWidget {
  Q_OBJECT
 public:
  HcaLegendWidget(const QFont& font, int cw, int lh, QWidget* parent);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QFont font_;
  int cw_;
  int lh_;
};

// Creates an HCA window of `kind` (kHcaFullViewer or AFFICHAGE_HCA).
HcaWindow* CreeHCAWindows(int kind, const HcaViewerSettings& settings, QWidget* parent);
