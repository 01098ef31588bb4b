// What the "Save results" dialog (command 3001) does, without the dialog:
// choosing the file, checking the selection and writing the saved-results
// file or the HTML report. The window (gui/save_results_dialog.h) only
// shows the choices and calls these.
#pragma once
#include <string>

#include "vistram/html/html_report.h"
#include "vistram/platform/messages.h"
#include "vistram/platform/platform.h"
#include "vistram/results/records.h"

inline constexpr int IDS_NO_SELECTION = 256;       // "No sequences selected."
inline constexpr int IDS_ENTER_FILE_NAME = 257;    // "Please enter a file name."

// The dialog's choices; the path is emptied whenever the dialog ends.
struct SaveResultsState {
  bool selectionOnly = false;  // "Save selection &only" (else "Save &all")
  bool html = false;           // "Enhanced &HTML" (else "&Text")
  std::string path;            // width 260
};

// 1 when at least one alignment of the working set is selected; otherwise
// tells the user "No sequences selected." and returns 0.
int TestAvantSauvegarde(const DataProgram& dp, WindowHandle dialog);

// The save-file dialog titled "Choose a file" with the Vistram file filter,
// starting in `initialFolder`. 1 with `path` set when a file was chosen.
int ChoisiNomFichierSauve(WindowHandle owner, std::string& path, const std::string& initialFolder);

// "&File name :": starts in the folder of the current `path` when one is set,
// otherwise in `programFolder`; the chosen name gets the extension ".vist".
// 1 when a file was chosen.
int ChoisiFichierSauve(WindowHandle owner, std::string& path, const std::string& programFolder);

// `path` with the extension of its file name replaced by ".vist".
std::string ForceVistExtension(const std::string& path);

// "&Save". Returns true when the dialog is to close (the file was written);
// false, after telling the user why, when it stays open: no file name, no
// selection with "Save selection &only", or the file could not be written.
bool SaveResultsOnSave(DataProgram& dp, WindowHandle dialog, SaveResultsState& state,
                       const HtmlAlignmentSource& source);
