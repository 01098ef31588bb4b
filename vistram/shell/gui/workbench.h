// Starts the workbench window and runs its event loop.
#pragma once
#include <string>

// The command line as the running instance must read it: a relative path is
// made absolute in the current folder (the running instance has its own),
// its bytes kept as they are.
std::string AbsoluteCommandLine(const std::string& line);

int RunWorkbench(int argc, char** argv);
