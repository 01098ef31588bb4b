#include "vistram/platform/recording_platform.h"

#include <cstdio>
#include <unistd.h>

MsgAnswer RecordingPlatform::MessageBox(WindowHandle, std::string_view caption, std::string_view text, MsgIcon icon,
                                        MsgButtons buttons, bool systemModal) {
  std::lock_guard lock(mutex_);
  messages_.push_back({std::string(caption), std::string(text), icon, buttons, systemModal});
  if (echo_) std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
  if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
  if (answers_.empty()) return MsgAnswer::No;
  MsgAnswer a = answers_.front();
  answers_.pop_front();
  return a;
}

FileDialogResult RecordingPlatform::OpenFileDialog(WindowHandle, const FileDialogRequest& request) {
  std::lock_guard lock(mutex_);
  fileRequests_.push_back(request);
  if (fileAnswers_.empty()) return {};
  FileDialogResult r = fileAnswers_.front();
  fileAnswers_.pop_front();
  return r;
}

FileDialogResult RecordingPlatform::SaveFileDialog(WindowHandle owner, const FileDialogRequest& request) {
  return OpenFileDialog(owner, request);
}

std::string RecordingPlatform::ProgramPath() {
  std::lock_guard lock(mutex_);
  if (!programPath_.empty()) return programPath_;
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

void RecordingPlatform::QueueFileAnswer(FileDialogResult answer) {
  std::lock_guard lock(mutex_);
  fileAnswers_.push_back(std::move(answer));
}
void RecordingPlatform::QueueAnswer(MsgAnswer answer) {
  std::lock_guard lock(mutex_);
  answers_.push_back(answer);
}
void RecordingPlatform::SetProgramPath(std::string path) {
  std::lock_guard lock(mutex_);
  programPath_ = std::move(path);
}
void RecordingPlatform::SetEchoToStderr(bool echo) {
  std::lock_guard lock(mutex_);
  echo_ = echo;
}
std::vector<RecordedMessage> RecordingPlatform::Messages() const {
  std::lock_guard lock(mutex_);
  return messages_;
}
std::vector<FileDialogRequest> RecordingPlatform::FileRequests() const {
  std::lock_guard lock(mutex_);
  return fileRequests_;
}
void RecordingPlatform::Clear() {
  std::lock_guard lock(mutex_);
  messages_.clear();
  fileRequests_.clear();
  fileAnswers_.clear();
  answers_.clear();
}
