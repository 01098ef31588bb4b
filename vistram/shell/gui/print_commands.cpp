#include "vistram/shell/gui/print_commands.h"

#include "vistram/hca/gui/hca_printout.h"
#include "vistram/hca/gui/hca_viewer.h"
#include "vistram/platform/gui/print_job.h"
#include "vistram/shell/gui/main_window.h"
#include "vistram/shell/gui/print_1d.h"

void PrintSetupCommand(QWidget* owner) { PrinterSetup(CurrentPrinter(), owner); }

void MainPrintCommand(MainWindow& window, bool pdf) {
  if (!pdf && !RequirePrinter(CurrentPrinter(), &window)) return;
  if (HcaViewer* hca = window.HcaArea()) {
    ImprimeHCAali(&window, hca->Plot(0), hca->Plot(1), hca->Settings().residuePoints, pdf);
    return;
  }
  DataProgram& dp = window.Data();
  if (!dp.viewer) return;
  const HspData* hit = dp.Hit(dp.viewer->hitNumber);
  OneDPrintout printout(*dp.viewer, hit != nullptr ? hit->identifier : std::string());
  if (pdf) ExportPrintoutPdf(&window, printout, "alignment.pdf");
  else PrintOnCurrentPrinter(&window, printout);
}
