// The print job frame that every printout runs in: the modeless "Print
// progress" dialog (name, device, output, status, Cancel) with its owner
// disabled, "Printing page %u." before each page, and a stop at the next
// page once Cancel was pressed. The same frame draws on a printer (through
// CUPS) and into a PDF made in memory, so both get the same pages.
#pragma once
#include <QByteArray>
#include <QDialog>
#include <string>

#include "vistram/platform/printer.h"
#include "vistram/platform/gui/printout.h"

class QLabel;
class QPagedPaintDevice;
class QPainter;
class QPushButton;

// "oups !!!" in the warning box "Test printer": the printer could not be opened.
inline constexpr const char* kPrinterFailedText = "oups !!!";
inline constexpr const char* kPrinterFailedTitle = "Test printer";

class PrintProgressDialog : public QDialog {
  Q_OBJECT
 public:
  PrintProgressDialog(QWidget* owner, const std::string& name, const std::string& device, const std::string& port);
  void SetPage(int page);  // "Printing page %u."
  bool Aborted() const { return aborted_; }
  QPushButton* CancelButton() const { return cancel_; }
  QLabel* StatusLabel() const { return status_; }
  void reject() override;  // Escape and the close box cancel as Cancel does

 private:
  QLabel* status_ = nullptr;
  QPushButton* cancel_ = nullptr;
  bool aborted_ = false;
};

struct PrintJobResult {
  int pagesPrinted = 0;
  bool aborted = false;
};

// Draws every page of `printout` on `painter` (already begun on `device`),
// with the progress dialog over a disabled `owner`; pending events are
// dispatched between pages, so that Cancel stops the job after the page in
// progress. The owner is enabled and activated again at the end.
PrintJobResult RunPrintJob(QWidget* owner, Printout& printout, QPainter& painter, QPagedPaintDevice& device,
                           const std::string& deviceName, const std::string& port);

// The printer of the run: read once at start-up, replaced by Print setup.
PrinterChoice& CurrentPrinter();
// Reads the system's default printer into CurrentPrinter() without a dialog.
void ReadDefaultPrinter();

// The system's printers through Qt print support (CUPS on Linux): the
// default printer, and the printer-setup dialog.
class QtPrinterServices : public PrinterServices {
 public:
  PrinterChoice DefaultPrinter() override;
  bool SetupDialog(WindowHandle owner, PrinterChoice& choice) override;
};

// Prints `printout` on the current printer: "No printer installed on this
// computer." without one, "oups !!!" when it cannot be opened. With
// `cancelWhenAborted` an aborted job is cancelled instead of ended. True
// when the job ran to its end.
bool PrintOnCurrentPrinter(QWidget* owner, Printout& printout, bool cancelWhenAborted = false);

// The printout as a PDF in memory (A4, 600 dots per inch), through the same
// frame; false when it was cancelled or could not be drawn.
bool RenderPrintoutPdf(QWidget* owner, Printout& printout, QByteArray& pdf);
// The same without the progress dialog (batch mode, no window library needed
// beyond fonts).
bool RenderPrintoutPdfQuietly(Printout& printout, QByteArray& pdf);
// "Export as PDF...": asks for a file name and writes the PDF there through
// the safe file writer; a file that cannot be written is reported.
bool ExportPrintoutPdf(QWidget* owner, Printout& printout, const std::string& initialName);
// Writes `pdf` to `path` through the safe file writer.
bool WritePdfFile(const std::string& path, const QByteArray& pdf);
