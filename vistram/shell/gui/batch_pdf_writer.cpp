#include "vistram/shell/gui/batch_pdf_writer.h"

#include <QApplication>
#include <memory>

#include "vistram/editor/gui/msa_printout.h"
#include "vistram/hca/gui/hca_printout.h"
#include "vistram/hca/hca_model.h"
#include "vistram/mapper/gui/map_printout.h"
#include "vistram/platform/gui/print_job.h"
#include "vistram/platform/messages.h"
#include "vistram/shell/gui/print_1d.h"

namespace {
// A font size in points at the screen's resolution, in pixels.
int ScreenPixels(int points) { return points * kScreenDpi / 72; }

bool Render(Printout& printout, const PdfBatchJob& job, std::string& error) {
  if (job.out.empty()) {
    // The Print command's path: the default printer, read without a dialog.
    QtPrinterServices printers;
    SetCurrentPrinterServices(&printers);
    ReadDefaultPrinter();
    SetCurrentPrinterServices(nullptr);
    if (CurrentPrinter().Empty()) {
      error = LoadStringText(IDS_NO_PRINTER);
      return false;
    }
    if (PrintOnCurrentPrinter(nullptr, printout)) return true;
    error = std::string(kPrinterFailedText) + " (" + CurrentPrinter().device + ")";
    return false;
  }
  QByteArray pdf;
  if (!RenderPrintoutPdfQuietly(printout, pdf)) {
    error = job.out + ": nothing to print";
    return false;
  }
  if (WritePdfFile(job.out, pdf)) return true;
  error = FormatTxtMessage(IDS_CANNOT_SAVE, job.out);
  return false;
}

bool RenderHca(const PdfBatchJob& job, std::string& error) {
  const VisualHaspData& v = *job.view;
  const HcaGraphData geometry;  // the printout lays the plots out again for the page
  auto query = BuildHcaSequence(v.queryLine, v.queryTextColours, v.queryBackColours, v.queryStart, job.queryName,
                                std::string(), geometry);
  auto database = BuildHcaSequence(v.subjectLine, v.subjectTextColours, v.subjectBackColours, v.subjectStart,
                                   job.hitIdentifier, std::string(), geometry);
  if (!query) {
    error = "not enough memory";
    return false;
  }
  HcaPrintout printout(*query, database.get(), HcaPrintOptions::FromPlot(*query), job.hcaPoints);
  return Render(printout, job, error);
}
}  // namespace

bool WritePdfForBatch(const PdfBatchJob& job, std::string& error) {
  // A whole application: printing shows the progress dialog (offscreen).
  std::unique_ptr<QApplication> app;
  if (!QCoreApplication::instance()) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vistram";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QApplication>(argc, argv);
  }
  if (job.kind == "1d" && job.view != nullptr) {
    OneDPrintout printout(*job.view, job.hitIdentifier);
    return Render(printout, job, error);
  }
  if (job.kind == "hca" && job.view != nullptr) return RenderHca(job, error);
  if (job.kind == "msa" && job.msa != nullptr) {
    MsaPrintout printout(*job.msa, ScreenPixels(job.fontPoints));
    return Render(printout, job, error);
  }
  if (job.kind == "map" && job.stat != nullptr) {
    MapPrintout printout(*job.stat, ScreenPixels(job.fontPoints));
    return Render(printout, job, error);
  }
  error = "nothing to print";
  return false;
}
