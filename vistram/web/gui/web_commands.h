// The main window's web commands and the hand-over of the web helper's
// answers to the window.
#pragma once
#include <QObject>
#include <functional>
#include <string>

#include "vistram/web/request_launch.h"

class QWidget;

// 3023 "&BLAST-2...": the BLAST-2 configuration file named in vistram.cfg
// must be readable, else "BLAST configuration file not found.".
void Blast2SearchCommand(QWidget* owner, const std::string& configPath);
// 3013 "BLAST2 default values...": the same check, then the defaults dialog.
void Blast2DefaultsCommand(QWidget* owner, const std::string& configPath);
// 3024 (F9): the ClustalW sheet, when its configuration file is readable
// (nothing happens otherwise).
void ClustalRequestCommand(QWidget* owner, const std::string& configPath);

// Makes each finished request call `open` on the user-interface thread of
// `window`; the worker waits until it has returned. RemoveWebAnswers() ends
// that (the window's destruction).
void InstallWebAnswers(QWidget* window, std::function<void(const WebAnswer&)> open);
void RemoveWebAnswers();
