#include "vistram/platform/gui/print_job.h"

#include <QApplication>
#include <QBuffer>
#include <QEventLoop>
#include <QFormLayout>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

#include "vistram/base/safe_file.h"
#include "vistram/platform/messages.h"
#include "vistram/platform/platform.h"

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }

void CentreOn(QWidget& dialog, QWidget* owner) {
  dialog.adjustSize();
  if (owner == nullptr) return;
  const QPoint centre = owner->mapToGlobal(owner->rect().center());
  dialog.move(centre - QPoint(dialog.width() / 2, dialog.height() / 2));
}

void ShowPrinterFailed(QWidget* owner) {
  CurrentPlatform().MessageBox(owner, kPrinterFailedTitle, kPrinterFailedText, MsgIcon::Warning, MsgButtons::Ok);
}
}  // namespace

PrintProgressDialog::PrintProgressDialog(QWidget* owner, const std::string& name, const std::string& device,
                                         const std::string& port)
    : QDialog(owner) {
  setWindowTitle("Print progress");
  setModal(false);
  auto* form = new QFormLayout;
  form->addRow("Name :", new QLabel(Q(name)));
  form->addRow("Device:", new QLabel(Q(device)));
  form->addRow("Output :", new QLabel(Q(port)));
  status_ = new QLabel;
  status_->setMinimumWidth(fontMetrics().horizontalAdvance("Printing page 00000.") + 20);
  form->addRow("Status:", status_);
  cancel_ = new QPushButton("&Cancel");
  connect(cancel_, &QPushButton::clicked, this, [this] { aborted_ = true; });
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(cancel_, 0, Qt::AlignHCenter);
  CentreOn(*this, owner);
}

void PrintProgressDialog::SetPage(int page) { status_->setText(QString::asprintf("Printing page %u.", page)); }

void PrintProgressDialog::reject() { aborted_ = true; }

namespace {
// The page loop; `progress` (may be null) shows the page and ends the job
// at the next page once cancelled.
PrintJobResult DrawPages(Printout& printout, QPainter& painter, QPagedPaintDevice& device,
                         PrintProgressDialog* progress) {
  PrintJobResult result;
  const int pages = printout.PageCount(painter);
  for (int page = 1; page <= pages; ++page) {
    if (progress != nullptr) {
      QApplication::processEvents();
      if (progress->Aborted()) break;
    }
    if (page > 1) device.newPage();
    if (progress != nullptr) {
      progress->SetPage(page);
      QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    printout.DrawPage(painter, page);
    ++result.pagesPrinted;
  }
  if (progress != nullptr) {
    QApplication::processEvents();
    result.aborted = progress->Aborted();
  }
  return result;
}
}  // namespace

PrintJobResult RunPrintJob(QWidget* owner, Printout& printout, QPainter& painter, QPagedPaintDevice& device,
                           const std::string& deviceName, const std::string& port) {
  PrintProgressDialog progress(owner, PrintDocumentName(printout.Title()), deviceName, port);
  // The owner is disabled; the dialog, a window of its own, stays usable.
  if (owner != nullptr) owner->setEnabled(false);
  progress.setEnabled(true);
  progress.show();
  const PrintJobResult result = DrawPages(printout, painter, device, &progress);
  progress.hide();
  if (owner != nullptr) {
    owner->setEnabled(true);
    owner->activateWindow();
  }
  return result;
}

PrinterChoice& CurrentPrinter() {
  static PrinterChoice printer;
  return printer;
}

void ReadDefaultPrinter() { CurrentPrinter() = CurrentPrinterServices().DefaultPrinter(); }

PrinterChoice QtPrinterServices::DefaultPrinter() {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull() || info.printerName().isEmpty()) return {};
  PrinterChoice choice;
  choice.device = info.printerName().toStdString();
  choice.driver = info.makeAndModel().toStdString();
  choice.port = info.location().isEmpty() ? choice.device : info.location().toStdString();
  return choice;
}

bool QtPrinterServices::SetupDialog(WindowHandle owner, PrinterChoice& choice) {
  QPrinter printer;
  printer.setPrinterName(Q(choice.device));
  QPrintDialog dialog(&printer, static_cast<QWidget*>(owner));
  dialog.setWindowTitle("Print setup");
  dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QPrinterInfo info = QPrinterInfo::printerInfo(printer.printerName());
  choice.device = printer.printerName().toStdString();
  choice.driver = info.isNull() ? std::string() : info.makeAndModel().toStdString();
  choice.port = info.isNull() || info.location().isEmpty() ? choice.device : info.location().toStdString();
  return true;
}

bool PrintOnCurrentPrinter(QWidget* owner, Printout& printout, bool cancelWhenAborted) {
  const PrinterChoice choice = CurrentPrinter();
  if (!RequirePrinter(choice, owner)) return false;
  QPrinter printer(QPrinter::HighResolution);
  printer.setPrinterName(Q(choice.device));
  printer.setDocName(Q(PrintDocumentName(printout.Title())));
  printer.setFullPage(false);
  QPainter painter;
  if (!printer.isValid() || !painter.begin(&printer)) {
    ShowPrinterFailed(owner);
    return false;
  }
  const PrintJobResult r = RunPrintJob(owner, printout, painter, printer, choice.device, choice.port);
  if (r.aborted && cancelWhenAborted) printer.abort();
  painter.end();
  return !r.aborted;
}

namespace {
bool RenderPdf(QWidget* owner, Printout& printout, QByteArray& pdf, bool withProgress) {
  pdf.clear();
  QBuffer buffer(&pdf);
  if (!buffer.open(QIODevice::WriteOnly)) return false;
  bool whole = false;
  {
    QPdfWriter writer(&buffer);
    writer.setResolution(600);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(6.35, 6.35, 6.35, 6.35), QPageLayout::Millimeter);
    writer.setTitle(Q(PrintDocumentName(printout.Title())));
    writer.setCreator("Vistram");
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    const PrintJobResult r = withProgress ? RunPrintJob(owner, printout, painter, writer, "PDF", "PDF")
                                          : DrawPages(printout, painter, writer, nullptr);
    painter.end();
    whole = !r.aborted && r.pagesPrinted > 0;
  }
  buffer.close();
  return whole && !pdf.isEmpty();
}
}  // namespace

bool RenderPrintoutPdf(QWidget* owner, Printout& printout, QByteArray& pdf) {
  return RenderPdf(owner, printout, pdf, true);
}

bool RenderPrintoutPdfQuietly(Printout& printout, QByteArray& pdf) { return RenderPdf(nullptr, printout, pdf, false); }

bool WritePdfFile(const std::string& path, const QByteArray& pdf) {
  SafeFile file;
  return file.Open(path) &&
         std::fwrite(pdf.constData(), 1, static_cast<std::size_t>(pdf.size()), file.Stream()) ==
             static_cast<std::size_t>(pdf.size()) &&
         file.Commit();
}

bool ExportPrintoutPdf(QWidget* owner, Printout& printout, const std::string& initialName) {
  FileDialogRequest request;
  request.title = "Export as PDF";
  request.filters = {{"PDF file (*.pdf)", "*.pdf"}};
  request.defaultExtension = "pdf";
  request.initialName = initialName;
  request.mustExist = false;
  const FileDialogResult chosen = CurrentPlatform().SaveFileDialog(owner, request);
  if (chosen.status != FileDialogResult::Status::Chosen) return false;
  QByteArray pdf;
  if (!RenderPrintoutPdf(owner, printout, pdf)) return false;  // cancelled: nothing written
  if (WritePdfFile(chosen.path, pdf)) return true;
  MyTxtErrMsgBox(IDS_CAPTION, IDS_CANNOT_SAVE, owner, chosen.path);
  return false;
}
