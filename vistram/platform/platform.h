// The platform layer: everything the model asks of the windowing system and
// the operating system (message boxes, file dialogs, the program's own path).
// The workbench installs a Qt implementation (platform/gui/); tests install
// RecordingPlatform, which answers dialogs from a script and records every
// message box, so that whole flows run without a display.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// An opaque window: a QWidget* in the workbench, anything (or null) in tests.
using WindowHandle = void*;

enum class MsgIcon { Error, Information, Question, Warning };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

struct FileFilter {
  std::string text;      // "BLAST file (*.bla;*.vist)"
  std::string patterns;  // "*.bla;*.vist"
};

struct FileDialogRequest {
  std::string title;                // empty: the system's default title
  std::vector<FileFilter> filters;
  int filterIndex = 1;              // 1-based, as the filters are numbered
  std::string initialFolder;
  std::string initialName;          // file name proposed (save dialogs)
  std::string defaultExtension;     // without the dot (save dialogs)
  bool mustExist = true;            // open dialogs: the file and folder must exist
};

struct FileDialogResult {
  enum class Status { Chosen, Cancelled, Failed };
  Status status = Status::Cancelled;
  std::string path;   // full path of the chosen file
  std::string title;  // the file name with extension
};

class Platform {
 public:
  virtual ~Platform() = default;

  // A modal message box owned by `owner` (system-modal when asked); returns
  // the button pressed. May be called from any thread.
  virtual MsgAnswer MessageBox(WindowHandle owner, std::string_view caption, std::string_view text, MsgIcon icon,
                               MsgButtons buttons, bool systemModal = false) = 0;

  virtual FileDialogResult OpenFileDialog(WindowHandle owner, const FileDialogRequest& request) = 0;
  virtual FileDialogResult SaveFileDialog(WindowHandle owner, const FileDialogRequest& request) = 0;

  // Full path of the running program file.
  virtual std::string ProgramPath() = 0;
};

// The platform in use. Until one is installed, a RecordingPlatform with no
// scripted answers is used (it cancels every dialog).
Platform& CurrentPlatform();
// Installs `platform` (not owned; it must outlive its use). Null restores the default.
void SetCurrentPlatform(Platform* platform);
