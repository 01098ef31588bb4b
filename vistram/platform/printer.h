// Printer services: the current printer of the run, read once from the
// system's default, replaced by the printer-setup dialog, and checked by
// every print command. The Qt implementation is in gui/; tests use
// RecordingPrinterServices.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "vistram/platform/platform.h"

inline constexpr int IDS_NO_PRINTER = 192;  // "No printer installed on this computer."

// The chosen printer; empty when none is installed.
struct PrinterChoice {
  std::string device;
  std::string driver;
  std::string port;
  bool Empty() const { return device.empty(); }
};

class PrinterServices {
 public:
  virtual ~PrinterServices() = default;
  // The system's default printer, without any dialog; empty when there is none.
  virtual PrinterChoice DefaultPrinter() = 0;
  // The printer-setup dialog filled with `choice`: true with `choice`
  // replaced on "OK", false (and `choice` unchanged) on "Cancel".
  virtual bool SetupDialog(WindowHandle owner, PrinterChoice& choice) = 0;
};

// Answers from a queue, as the recording platform does for file dialogs.
class RecordingPrinterServices : public PrinterServices {
 public:
  void SetDefault(PrinterChoice printer) { default_ = std::move(printer); }
  void QueueSetupAnswer(bool ok, PrinterChoice choice = {});
  int SetupDialogsShown() const { return shown_; }
  PrinterChoice DefaultPrinter() override { return default_; }
  bool SetupDialog(WindowHandle owner, PrinterChoice& choice) override;

 private:
  PrinterChoice default_;
  std::vector<std::pair<bool, PrinterChoice>> answers_;
  int shown_ = 0;
};

PrinterServices& CurrentPrinterServices();
// Installs the services (null: a RecordingPrinterServices with no printer).
void SetCurrentPrinterServices(PrinterServices* services);

// The check of every print command: true when `current` names a printer,
// otherwise "No printer installed on this computer." is shown.
bool RequirePrinter(const PrinterChoice& current, WindowHandle owner);
// "Print setup": the check, then the setup dialog on `current`. True when
// the user chose a printer.
bool PrinterSetup(PrinterChoice& current, WindowHandle owner);

// The print job's document name: "Vistram - " and the printout's title,
// at most 255 characters.
std::string PrintDocumentName(const std::string& title);
