// The small window shown while a report is read: "Reading file, please
// wait..." over a progress bar driven by the bytes the parser has read.
#pragma once
#include <QDialog>

class QProgressBar;

class LoadProgressWindow : public QDialog {
  Q_OBJECT
 public:
  explicit LoadProgressWindow(QWidget* owner);
  // Percent of the file read, 0..100.
  void SetPercent(int percent);
  int Percent() const;

 protected:
  // The window goes away with the load, never before.
  void reject() override {}

 private:
  QProgressBar* bar_;
};
