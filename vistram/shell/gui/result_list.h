// The result list: one row per hit of the working set, drawn as the list of
// database entries (selection mark, number, identifier, score, expect value
// and the wrapped description).
//
// ResultListModel reads the DataProgram's working set in place; it never
// copies hits, so a table of 100,000 hits opens at once. Call Reset() after
// the working set has changed (a table loaded, activated, left or closed).
#pragma once
#include <QAbstractListModel>
#include <QFont>
#include <QStyledItemDelegate>

struct DataProgram;
struct HspData;
class QListView;

class ResultListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit ResultListModel(DataProgram& dp, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  // Display: "identifier description"; tool tip: the description.
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  // The hit of `row` (0-based), or null.
  const HspData* HitAt(int row) const;
  // Tells the views that the working set has been replaced.
  void Reset();
  // Tells the views that the selection flags of `row` changed (the mark).
  void RowChanged(int row);

 private:
  DataProgram& dp_;
  int rows_ = 0;  // the row count the views know
};

class ResultListDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  explicit ResultListDelegate(QObject* parent = nullptr);

  // The list font with its average character width and line height, and the
  // number of text lines per entry.
  void SetFont(const QFont& font, int charWidth, int lineHeight, int listLines);
  int ItemHeight() const { return listLines_ * lineHeight_ + 4; }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  // Draws one entry into `rect` (the parts below); used by paint().
  void DrawItem(QPainter* painter, const QRect& rect, const HspData& hit, bool selected,
                const QColor& windowColour) const;
  // The focus frame: 1 pixel around rect shrunk by 1, grey with the focus,
  // in the window colour without it.
  static void DrawFocusFrame(QPainter* painter, const QRect& rect, bool hasFocus, const QColor& windowColour);

 private:
  QFont font_;
  int charWidth_ = 8;
  int lineHeight_ = 16;
  int listLines_ = 2;
};

// Sets up `view` for the result list: fixed-height rows, one selected row,
// vertical scroll bar, the model and the delegate.
void ConfigureResultList(QListView* view, ResultListModel* model, ResultListDelegate* delegate);
// Fill result list: the list shows the working set again, takes the focus
// and selects row `index` (when there is one).
void FillResultList(QListView* view, ResultListModel* model, int index);
