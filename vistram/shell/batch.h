// Batch mode: commands for scripts and pipelines that load reports exactly as
// the Open command does and write their results without any window.
#pragma once

// When argv asks for a batch command, runs it, sets exitCode and returns true.
bool RunBatchIfRequested(int argc, char** argv, int& exitCode);
