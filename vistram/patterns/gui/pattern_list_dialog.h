// The modal "List of patterns" dialog: the entries of a pattern file, each
// drawn on two lines (description in blue, pattern in brown), from which the
// user picks the patterns of the next search.
#pragma once
#include <QDialog>
#include <QStyledItemDelegate>

#include "vistram/patterns/motif_file.h"

class QLabel;
class QListWidget;
class QPushButton;

// Draws one entry of the list on two lines.
class PatternItemDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

class ListeMotifsDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kIdFile = 101;
  static constexpr int kIdSelectAll = 102;
  static constexpr int kIdUnselectAll = 103;
  static constexpr int kIdOk = 1;
  static constexpr int kIdCancel = 2;

  ListeMotifsDlg(QWidget* owner, PatternFileState& state);

  void ListeMotifs_OnInitDialog();
  void ListeMotifs_OnCommand(int id);

  QListWidget* List() const { return list_; }
  QLabel* FileTitle() const { return title_; }

 private:
  void InitListBox();
  PatternFileState& state_;
  QLabel* title_ = nullptr;
  QListWidget* list_ = nullptr;
};

// Runs the dialog modally; the chosen entries are in `state` afterwards.
void ListeMotifs(QWidget* owner, PatternFileState& state);
