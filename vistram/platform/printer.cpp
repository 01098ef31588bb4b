#include "vistram/platform/printer.h"

#include <atomic>

#include "vistram/platform/messages.h"

namespace {
std::atomic<PrinterServices*> g_services{nullptr};

PrinterServices& NoPrinter() {
  static RecordingPrinterServices services;
  return services;
}
}  // namespace

void RecordingPrinterServices::QueueSetupAnswer(bool ok, PrinterChoice choice) {
  answers_.emplace_back(ok, std::move(choice));
}

bool RecordingPrinterServices::SetupDialog(WindowHandle, PrinterChoice& choice) {
  ++shown_;
  if (answers_.empty()) return false;
  auto [ok, chosen] = std::move(answers_.front());
  answers_.erase(answers_.begin());
  if (ok) choice = std::move(chosen);
  return ok;
}

PrinterServices& CurrentPrinterServices() {
  PrinterServices* s = g_services.load();
  return s != nullptr ? *s : NoPrinter();
}

void SetCurrentPrinterServices(PrinterServices* services) { g_services.store(services); }

bool RequirePrinter(const PrinterChoice& current, WindowHandle owner) {
  if (!current.Empty()) return true;
  MyErrMsgBox(IDS_CAPTION, IDS_NO_PRINTER, owner);
  return false;
}

bool PrinterSetup(PrinterChoice& current, WindowHandle owner) {
  if (!RequirePrinter(current, owner)) return false;
  PrinterChoice copy = current;
  if (!CurrentPrinterServices().SetupDialog(owner, copy)) return false;
  current = std::move(copy);
  return true;
}

std::string PrintDocumentName(const std::string& title) {
  std::string name = "Vistram - " + title;
  if (name.size() > 255) name.resize(255);
  return name;
}
