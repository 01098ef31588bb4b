#include "vistram/editor/gui/editor_open.h"

#include <QAction>
#include <QApplication>
#include <exception>

#include "vistram/editor/gui/editor_dialogs.h"
#include "vistram/editor/msa_open.h"
#include "vistram/results/records.h"

namespace {

void Tell(QWidget* owner, const char* caption, const char* text, MsgIcon icon) {
  CurrentPlatform().MessageBox(owner, caption, text, icon, MsgButtons::Ok);
}

// LitLesInfoDarUva: the MSA of the selection behind the progress window,
// then the editor's windows. 1, 2 (nothing selected, reported) or 0.
int LitLesInfoDarUva(QWidget* owner, const DataProgram& dp, const std::string& configPath, DarUvaEditor*& editor) {
  MsaProgressDialog* progress = nullptr;
  const std::vector<SelectedPair> pairs = ListSelectedAlignments(dp);
  if (!pairs.empty()) {
    progress = new MsaProgressDialog(static_cast<int>(pairs.size()) + 1, owner);
    progress->show();
    progress->repaint();
  }
  auto step = [](void* context, int done, int total) { static_cast<MsaProgressDialog*>(context)->Step(done, total); };
  int result = 0;
  std::unique_ptr<DarUvaData> msa = BuildMsaFromSelection(owner, dp, result, step, progress);
  delete progress;
  if (!msa) return result;
  editor = DarUvaEditor::AfficheDarUvaWin(std::move(msa), dp.reportPath, configPath, owner);
  return editor ? 1 : 0;
}

}  // namespace

DarUvaEditor* OpenDarUvaEditor(QWidget* owner, const DataProgram& dp, const std::string* msfPath,
                               const std::string& configPath) {
  DarUvaEditor* editor = nullptr;
  try {
    if (msfPath) {
      std::unique_ptr<DarUvaData> msa = LoadMsfFile(owner, *msfPath, configPath);
      if (!msa) return nullptr;
      editor = DarUvaEditor::AfficheDarUvaWin(std::move(msa), *msfPath, configPath, owner);
      if (!editor) Tell(owner, kCaptionVistram, kMsgCannotCreateWindow, MsgIcon::Error);
    } else if (LitLesInfoDarUva(owner, dp, configPath, editor) == 0) {
      Tell(owner, kCaptionEditor, kMsgCannotLoadEditor, MsgIcon::Information);
    }
  } catch (const std::exception&) {
    // Memory exhaustion included: nothing of the construction stays.
    delete editor;
    editor = nullptr;
    Tell(owner, kCaptionVistram, kMsgFatal, MsgIcon::Error);
  }
  return editor;
}

EditorLauncher::EditorLauncher(QWidget* mainWindow, QAction* pressed)
    : QObject(mainWindow), mainWindow_(mainWindow), pressed_(pressed) {
  if (pressed_) pressed_->setCheckable(true);
}

bool EditorLauncher::CloseRunningEditor(const char* refusal) {
  if (!editor_) return true;
  if (editor_->close()) {
    // The window deletes itself on close; the record goes with it now.
    delete editor_.data();
    return true;
  }
  Tell(mainWindow_, kCaptionVistram, refusal, MsgIcon::Information);
  if (pressed_) pressed_->setChecked(true);
  return false;
}

void EditorLauncher::Adopt(DarUvaEditor* editor) {
  if (pressed_) pressed_->setChecked(editor != nullptr);
  editor_ = editor;
  if (!editor) return;
  connect(editor, &DarUvaEditor::editorClosed, this, [this] {
    if (pressed_) pressed_->setChecked(false);
  });
}

void EditorLauncher::FromSelection(const DataProgram& dp) {
  if (dp.header.resultType == kResultMixed) {
    Tell(mainWindow_, kCaptionVistram, kMsgMixedResults, MsgIcon::Information);
    if (pressed_) pressed_->setChecked(editor_ != nullptr);
    return;
  }
  if (!CloseRunningEditor(kMsgEditorRunningNew)) return;
  Adopt(OpenDarUvaEditor(mainWindow_, dp, nullptr, dp.configPath));
}

void EditorLauncher::ChooseAndOpenMsf(const std::string& configPath) {
  if (!CloseRunningEditor(kMsgEditorRunningMsf)) return;
  if (pressed_) pressed_->setChecked(false);
  std::string path, title;
  if (!ChoisiFichierMSF(mainWindow_, path, title, std::string(), 10)) return;
  OpenMsf(path, configPath);
}

void EditorLauncher::OpenMsf(const std::string& path, const std::string& configPath) {
  if (!CloseRunningEditor(kMsgEditorRunningMsf)) return;
  const DataProgram none;
  Adopt(OpenDarUvaEditor(mainWindow_, none, &path, configPath));
}
