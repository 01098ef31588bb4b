// The platform layer over Qt: message boxes, file dialogs and the program's
// own path. Message boxes and dialogs may be asked for from any thread; off
// the user-interface thread the call is carried over to it and waits there
// for the answer.
#pragma once
#include <QStringList>

#include "vistram/platform/platform.h"

class QtPlatform : public Platform {
 public:
  MsgAnswer MessageBox(WindowHandle owner, std::string_view caption, std::string_view text, MsgIcon icon,
                       MsgButtons buttons, bool systemModal) override;
  FileDialogResult OpenFileDialog(WindowHandle owner, const FileDialogRequest& request) override;
  FileDialogResult SaveFileDialog(WindowHandle owner, const FileDialogRequest& request) override;
  std::string ProgramPath() override;
};

// The Qt name filters of a request ("BLAST file (*.bla;*.vist)" shown with the
// patterns "*.bla *.vist"), in the request's order.
QStringList QtNameFilters(const FileDialogRequest& request);
