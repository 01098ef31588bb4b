// The map window: the legend and the ruler on a white frame with menu 1012,
// the alignment labels (names pane), one bar per mapped alignment (bars
// pane, scrolled by whole entries) and the coverage histogram, with the
// position tip while the mouse drags over the histogram and the description
// tip while a bar is pressed. The window owns the map record; closing it
// releases the record and the map font.
#pragma once
#include <QMainWindow>
#include <QPointer>
#include <map>
#include <memory>
#include <string>

#include "vistram/mapper/gui/map_draw.h"
#include "vistram/mapper/map_layout.h"
#include "vistram/mapper/stat_data.h"

class QAction;
class QScrollBar;
struct DataProgram;
class MapCanvas;
class MapNamesPane;
class MapBarsPane;
class MapHistogramPane;
class MapTip;

class StatBlaWindow : public QMainWindow {
  Q_OBJECT
 public:
  // CreationStatWindows: the map font (`fontPoints` points at the screen's
  // resolution), the window and its panes, the caption, shown; null when
  // the font or a window cannot be made. The window takes the record.
  static StatBlaWindow* CreationStatWindows(std::unique_ptr<StatData> stat, const std::string& tableName,
                                            int fontPoints, QWidget* owner);
  ~StatBlaWindow() override;

  StatData& Stat() { return *stat_; }
  const MapPaintStyle& Style() const { return style_; }
  // Commands of menu 1012: Sort, Scale, Save as image, Exit.
  void StatBlaWndProc_OnCommand(int id);
  QAction* CommandAction(int id) const;

  // Adjusts the bars' scroll bar to the pane's height and the entry count.
  void ReajusteStatGraphScroll();
  // Scrolls the bars (and names) as a scroll request or key does.
  void ScrollBars(MapScrollRequest request, std::uint32_t thumb = 0);

  // The panes and tips, for painting, tests and the printout.
  QWidget* Canvas() const;
  QWidget* NamesPane() const;
  QWidget* BarsPane() const;
  QWidget* HistogramPane() const;
  QScrollBar* BarsScrollBar() const { return scroll_; }
  QWidget* PositionTip() const;
  QWidget* DescriptionTip() const;
  // The position tip's text ("%4u/%4u/%5.1f%%"); empty without the tip.
  QString PositionTipText() const;
  // The scale of the bars (pane coordinates of the bars' drawing area).
  MapScale BarsScale() const;
  // The drawing width of the bars and the histogram (the scroll bar excluded).
  int BarsClientWidth() const;

  // Tracking over the histogram (x in histogram coordinates).
  void BeginTracking(int x);
  void MoveTracking(int x);
  void EndTracking();
  bool Tracking() const { return tracking_; }
  int TrackX() const { return trackX_; }
  // The description tip of the bar under (x, y) in bars coordinates.
  void PressBar(int x, int y);
  void ReleaseBar();

  // The Scale dialog's values: "Ticks :" text (digits, at most 9) and the
  // display-lines flag; stored and the window repainted.
  void ApplyScale(const QString& ticks, bool displayLines);

 signals:
  // Emitted when the window is destroyed (its record released).
  void closed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  StatBlaWindow(std::unique_ptr<StatData> stat, const MapPaintStyle& style);
  void StatBlaWndProc_OnSize();
  void CmdSort();
  void CmdScale();
  void CmdSaveImage();
  void RepaintPanes();

  std::unique_ptr<StatData> stat_;
  MapPaintStyle style_;
  MapCanvas* canvas_ = nullptr;
  MapNamesPane* names_ = nullptr;
  MapBarsPane* bars_ = nullptr;
  MapHistogramPane* histo_ = nullptr;
  QScrollBar* scroll_ = nullptr;
  MapScrollBar scrollState_;
  QPointer<MapTip> positionTip_;
  QPointer<MapTip> descriptionTip_;
  std::map<int, QAction*> actions_;
  bool tracking_ = false;
  int trackX_ = -1;

  friend class MapCanvas;
};

// The Mapper's entry (command 3017 calls it after destroying any open map):
// prepares the map of the selected alignments of the working set and opens
// its window. The window, or null after the user was told why.
StatBlaWindow* CreationStatBlaWin(QWidget* mainWindow, const DataProgram& dp, int totalAlignments,
                                  const std::string& tableName);
