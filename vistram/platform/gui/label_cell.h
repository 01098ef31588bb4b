// The main window's small text cells: column header cells (grey, a black
// frame on the top and left, white on the bottom and right), framed labels
// (black frame) and unframed labels. All are filled light grey and show their
// text, inset by two pixels and word-wrapped, only while there is data.
#pragma once
#include <QString>
#include <QWidget>

class LabelCell : public QWidget {
  Q_OBJECT
 public:
  enum class Kind { Header, Framed, Plain };
  LabelCell(Kind kind, const QString& text, QWidget* parent);

  void setText(const QString& text);
  QString text() const { return text_; }
  // The text is drawn only while the window has data to show.
  void setTextShown(bool shown);
  bool textShown() const { return shown_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Kind kind_;
  QString text_;
  bool shown_ = false;
};
