#include "vistram/web/gui/web_commands.h"

#include <QPointer>
#include <QWidget>

#include "vistram/platform/messages.h"
#include "vistram/web/blast2_request.h"
#include "vistram/web/gui/blast2_sheet.h"
#include "vistram/web/gui/clustal_sheet.h"
#include "vistram/web/request_config.h"

void Blast2SearchCommand(QWidget* owner, const std::string& configPath) {
  const std::string file = ReadConfigFileSetting(configPath, kBlast2Section);
  if (file.empty()) {
    MyErrMsgBox(IDS_CAPTION, IDS_BLAST2_CONFIG_NOT_FOUND, owner);
    return;
  }
  PrepBlast2search(owner, file, configPath);
}

void Blast2DefaultsCommand(QWidget* owner, const std::string& configPath) {
  const std::string file = ReadConfigFileSetting(configPath, kBlast2Section);
  if (file.empty()) {
    MyErrMsgBox(IDS_CAPTION, IDS_BLAST2_CONFIG_NOT_FOUND, owner);
    return;
  }
  BLAST2_PREF(owner, file, configPath);
}

void ClustalRequestCommand(QWidget* owner, const std::string& configPath) {
  const std::string file = ReadConfigFileSetting(configPath, "CLUSTAL");
  if (!file.empty()) CallClustalDlg(owner, file, configPath);
}

void InstallWebAnswers(QWidget* window, std::function<void(const WebAnswer&)> open) {
  QPointer<QWidget> target(window);
  SetWebAnswerHandler(
      [target, open](const WebAnswer& answer) {
        if (!target) return;
        // A window deleted meanwhile drops the call and releases the worker.
        QMetaObject::invokeMethod(
            target.data(), [open, answer] { open(answer); }, Qt::BlockingQueuedConnection);
      },
      window);
}

void RemoveWebAnswers() { SetWebAnswerHandler(nullptr); }
