#include "vistram/platform/gui/qt_platform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QThread>

#include <unistd.h>

namespace {
QWidget* Owner(WindowHandle owner) { return static_cast<QWidget*>(owner); }

// Runs `f` on the user-interface thread and waits for it.
template <typename F>
auto OnUiThread(F&& f) -> decltype(f()) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr || QThread::currentThread() == app->thread()) return f();
  decltype(f()) result{};
  QMetaObject::invokeMethod(app, [&] { result = f(); }, Qt::BlockingQueuedConnection);
  return result;
}

QString Text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

FileDialogResult RunFileDialog(WindowHandle owner, const FileDialogRequest& request, bool save) {
  QFileDialog dialog(Owner(owner), Text(request.title));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : (request.mustExist ? QFileDialog::ExistingFile
                                                                        : QFileDialog::AnyFile));
  dialog.setOption(QFileDialog::ReadOnly, false);
  const QStringList filters = QtNameFilters(request);
  dialog.setNameFilters(filters);
  if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
    dialog.selectNameFilter(filters[request.filterIndex - 1]);
  if (!request.initialFolder.empty()) dialog.setDirectory(Text(request.initialFolder));
  if (!request.initialName.empty()) dialog.selectFile(Text(request.initialName));
  // An open dialog takes a typed name as typed (sequence files often have no
  // extension); only a save dialog adds the default extension.
  if (save && !request.defaultExtension.empty()) dialog.setDefaultSuffix(Text(request.defaultExtension));
  dialog.setObjectName(save ? "saveFileDialog" : "openFileDialog");
  FileDialogResult result;
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    result.status = FileDialogResult::Status::Cancelled;
    return result;
  }
  const QString path = dialog.selectedFiles().first();
  result.path = QFile::encodeName(path).toStdString();
  result.title = QFileInfo(path).fileName().toStdString();
  if (!save && request.mustExist && !QFileInfo(path).isFile()) {
    result.status = FileDialogResult::Status::Failed;
    return result;
  }
  result.status = FileDialogResult::Status::Chosen;
  return result;
}
}  // namespace

QStringList QtNameFilters(const FileDialogRequest& request) {
  // Qt reads a filter's patterns from the parentheses that end its text,
  // separated by blanks.
  QStringList out;
  for (const FileFilter& f : request.filters) {
    QString patterns = Text(f.patterns);
    patterns.replace(';', ' ');
    // "*.*" means every file, those without an extension too.
    QStringList each = patterns.split(' ', Qt::SkipEmptyParts);
    for (QString& p : each) {
      if (p == "*.*") p = "*";
    }
    patterns = each.join(' ');
    QString text = Text(f.text);
    const qsizetype open = text.lastIndexOf('(');
    if (text.endsWith(')') && open >= 0)
      out << text.left(open + 1) + patterns + ")";
    else
      out << QString("%1 (%2)").arg(text, patterns);
  }
  return out;
}

MsgAnswer QtPlatform::MessageBox(WindowHandle owner, std::string_view caption, std::string_view text, MsgIcon icon,
                                 MsgButtons buttons, bool systemModal) {
  const QString qCaption = Text(caption);
  const QString qText = Text(text);
  return OnUiThread([&]() -> MsgAnswer {
    QMessageBox box(Owner(owner));
    box.setObjectName("vistramMessageBox");
    box.setWindowTitle(qCaption);
    box.setText(qText);
    switch (icon) {
      case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
      case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
      case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
      case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    }
    if (buttons == MsgButtons::YesNo) {
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
    } else {
      box.setStandardButtons(QMessageBox::Ok);
    }
    box.setWindowModality(systemModal || owner == nullptr ? Qt::ApplicationModal : Qt::WindowModal);
    const int r = box.exec();
    if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
    return r == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
  });
}

FileDialogResult QtPlatform::OpenFileDialog(WindowHandle owner, const FileDialogRequest& request) {
  return OnUiThread([&] { return RunFileDialog(owner, request, false); });
}

FileDialogResult QtPlatform::SaveFileDialog(WindowHandle owner, const FileDialogRequest& request) {
  return OnUiThread([&] { return RunFileDialog(owner, request, true); });
}

std::string QtPlatform::ProgramPath() {
  if (QCoreApplication::instance() != nullptr) {
    const QString p = QCoreApplication::applicationFilePath();
    if (!p.isEmpty()) return p.toStdString();
  }
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}
