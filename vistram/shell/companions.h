// The programs that the workbench starts beside itself: the web browser
// ("View DataBase file") and the companion program Hitmerge, as the
// configuration file names them, and the first-start browser detection.
#pragma once
#include <string>

#include "vistram/platform/platform.h"

// The program entry's first step: DetectBrowser on the configuration file
// beside the running program, with the desktop's lookup.
void STARTOFVISTRAM();

// "View DataBase file": starts the browser of the configuration on `link`.
// Shows "Navigator not found." when the configuration names none and
// "Unable to find a Web navigator..." when it cannot be started. 1 started, 0 not.
int CallBrowser(const std::string& configPath, const std::string& link, WindowHandle owner);
// Starts Hitmerge on `reportPath`; "Hitmerge not found." when the
// configuration names none, "Unable to start Hitmerge..." when it cannot be started.
int CallCompanion(const std::string& configPath, const std::string& reportPath, WindowHandle owner);
