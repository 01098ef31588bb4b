// A platform for tests and batch mode: message boxes are recorded (and, in
// batch mode, echoed to standard error), file dialogs answered from a queue.
#pragma once
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "vistram/platform/platform.h"

struct RecordedMessage {
  std::string caption;
  std::string text;
  MsgIcon icon;
  MsgButtons buttons;
  bool systemModal;
};

class RecordingPlatform : public Platform {
 public:
  MsgAnswer MessageBox(WindowHandle owner, std::string_view caption, std::string_view text, MsgIcon icon,
                       MsgButtons buttons, bool systemModal) override;
  FileDialogResult OpenFileDialog(WindowHandle owner, const FileDialogRequest& request) override;
  FileDialogResult SaveFileDialog(WindowHandle owner, const FileDialogRequest& request) override;
  std::string ProgramPath() override;

  // Scripted answers, taken in order; when the queue is empty a dialog is
  // cancelled and a Yes/No box answers No.
  void QueueFileAnswer(FileDialogResult answer);
  void QueueAnswer(MsgAnswer answer);
  void SetProgramPath(std::string path);
  // Echo every message box text to standard error (batch mode).
  void SetEchoToStderr(bool echo);

  std::vector<RecordedMessage> Messages() const;
  std::vector<FileDialogRequest> FileRequests() const;
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::vector<RecordedMessage> messages_;
  std::vector<FileDialogRequest> fileRequests_;
  std::deque<FileDialogResult> fileAnswers_;
  std::deque<MsgAnswer> answers_;
  std::string programPath_;
  bool echo_ = false;
};
