#include "vistram/shell/companions.h"

#include "vistram/base/config.h"
#include "vistram/base/process.h"
#include "vistram/platform/messages.h"

void STARTOFVISTRAM() {
  DetectBrowser(BuildConfigPath(CurrentPlatform().ProgramPath()), FindDefaultBrowserCommand);
}

int CallBrowser(const std::string& configPath, const std::string& link, WindowHandle owner) {
  std::string command;
  if (!ReadBrowserPath(configPath, command)) {
    MyErrMsgBox(IDS_CAPTION, IDS_NAVIGATOR_NOT_FOUND, owner);
    return 0;
  }
  if (!StartDetached(CommandFor(command, link))) {
    MyErrMsgBox(IDS_CAPTION, IDS_CANNOT_START_NAVIGATOR, owner);
    return 0;
  }
  return 1;
}

int CallCompanion(const std::string& configPath, const std::string& reportPath, WindowHandle owner) {
  std::string path;
  if (!ReadCompanionPath(configPath, path)) {
    MyErrMsgBox(IDS_CAPTION, IDS_HITMERGE_NOT_FOUND, owner);
    return 0;
  }
  if (!StartDetached(CommandFor(path, reportPath))) {
    MyErrMsgBox(IDS_CAPTION, IDS_CANNOT_START_HITMERGE, owner);
    return 0;
  }
  return 1;
}
