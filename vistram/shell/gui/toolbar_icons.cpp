#include "vistram/shell/gui/toolbar_icons.h"

#include <QString>

#include "vistram/base/command_ids.h"

namespace {
struct IconEntry {
  int id;
  const char* name;  // icons/NAME.svg
};

// Every command that has an image. Commands of other windows that do what a
// main-window command does reuse its image.
constexpr IconEntry kIcons[] = {
    {kCmdOpen, "open"},
    {kCmdSave, "save"},
    {kCmdClose, "close"},
    {kCmdDatabaseInfo, "database-info"},
    {kCmdPrintSetup, "print-setup"},
    {kCmdPrint, "print"},
    {kCmdWindowPrint, "print"},
    {kCmdHcaPrint, "print"},
    {kCmdExit, "exit"},
    {kCmdViewDatabaseFile, "view-database-file"},
    {kCmdBlast2Search, "blast2"},
    {kCmdHcaViewer, "hca-viewer"},
    {kCmdEditorFromAlignments, "editor"},
    {kCmdMapper, "mapper"},
    {kCmdStringFinder, "string-finder"},
    {kCmdIdAnalyser, "id-analyser"},
    {kCmdFieldSearch, "field-search"},
};
}  // namespace

const char* CommandIconName(int id) {
  for (const IconEntry& e : kIcons)
    if (e.id == id) return e.name;
  return "";
}

QIcon CommandIcon(int id) {
  const char* name = CommandIconName(id);
  if (*name == '\0') return {};
  // The resources live in the library: registered once, on first use.
  static const bool loaded = [] {
    Q_INIT_RESOURCE(toolbar_icons);
    return true;
  }();
  (void)loaded;
  return QIcon(QString(":/icons/%1.svg").arg(QLatin1String(name)));
}
