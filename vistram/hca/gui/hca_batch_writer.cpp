#include "vistram/hca/gui/hca_batch_writer.h"

#include <QGuiApplication>
#include <memory>

#include "vistram/hca/gui/hca_draw.h"
#include "vistram/hca/hca_plot_file.h"
#include "vistram/platform/messages.h"

namespace {
// The screen's resolution for the batch output: 96 dots per inch.
constexpr int kBatchDpi = 96;
}  // namespace

int WriteHcaBatchOutput(const HcaBatchJob& job, std::string& error) {
  std::unique_ptr<QGuiApplication> app;
  if (!QCoreApplication::instance()) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vistram";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
  }
  auto res = MakeHcaDeviceResources(kBatchDpi, job.residuePoints, kHcaScreen);
  if (!res) {
    error = LoadStringText(IDS_HCA_NO_GDI);
    return 0;
  }
  auto seq = BuildHcaSequence(job.residues, job.textColours, job.backColours, 1, job.name, job.programPath,
                              res->geometry);
  if (!seq) {
    error = "not enough memory";
    return 0;
  }
  const std::string& out = job.outputPath;
  const bool plotFile = out.size() >= 4 && (out.compare(out.size() - 4, 4, ".hca") == 0 ||
                                            out.compare(out.size() - 4, 4, ".HCA") == 0);
  const bool ok = plotFile ? WriteHcaPlotFile(out, *seq) == 1 : SaveHcaPicture(out, {seq.get()}, *res);
  if (!ok) error = LoadStringText(IDS_HCA_CANNOT_CREATE);
  return ok ? 1 : 0;
}
