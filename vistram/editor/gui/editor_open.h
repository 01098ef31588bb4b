// Opening the alignment editor from the main window: the single-editor
// rule, the mixed-results refusal, the progress window of the construction
// and the main window's pressed editor button.
//
//   EditorLauncher launcher(mainWindow, editorAction);
//   launcher.FromSelection(dp);            // command 3016
//   launcher.ChooseAndOpenMsf(configPath); // command 3020
//   launcher.OpenMsf(path, configPath);    // a pending MSF path, ClustalW answers
#pragma once
#include <QObject>
#include <QPointer>
#include <string>

#include "vistram/editor/gui/editor_window.h"

class QAction;
struct DataProgram;

// The entry point: with `msfPath` reads that file, otherwise builds the MSA
// from the selection of `dp` (LitLesInfoDarUva). Shows every failure itself;
// the editor, or null.
DarUvaEditor* OpenDarUvaEditor(QWidget* owner, const DataProgram& dp, const std::string* msfPath,
                               const std::string& configPath);

class EditorLauncher : public QObject {
  Q_OBJECT
 public:
  // `pressed` (the main window's command-3016 action) is shown checked while
  // an editor is open.
  EditorLauncher(QWidget* mainWindow, QAction* pressed);
  // Command 3016 without a pending MSF path.
  void FromSelection(const DataProgram& dp);
  // Command 3020: the "Open a MSF file" dialog, then OpenMsf.
  void ChooseAndOpenMsf(const std::string& configPath);
  // Opens the MSF file `path` in the editor (command 3016 with a pending MSF
  // path, ClustalW answers).
  void OpenMsf(const std::string& path, const std::string& configPath);
  DarUvaEditor* Editor() const { return editor_; }

 private:
  // Asks an open editor to close; false (after `refusal`) when it stays.
  bool CloseRunningEditor(const char* refusal);
  void Adopt(DarUvaEditor* editor);

  QWidget* mainWindow_;
  QPointer<QAction> pressed_;
  QPointer<DarUvaEditor> editor_;
};
