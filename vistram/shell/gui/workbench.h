// Starts the workbench window and runs its event loop.
#pragma once

int RunWorkbench(int argc, char** argv);
