// Answering a modal dialog from a window test: the dialog's own event loop
// runs inside the command under test, so the answer is queued beforehand.
#pragma once
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

// Runs `handle` on the next modal dialog that opens (then the dialog must close).
inline void OnNextDialog(std::function<void(QDialog*)> handle) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, handle] {
    auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (d == nullptr) return;
    timer->stop();
    timer->deleteLater();
    handle(d);
  });
  timer->start();
}
