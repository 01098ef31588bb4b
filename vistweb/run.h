// The helper's main sequence, without its window: read the request, read the
// post file, then one exchange, the NCBI polling sequence, or a local run.
#pragma once
#include <string>

#include "vistweb/progress.h"

// Serves the request file at `requestPath`. Every failure ends the work
// quietly; the workbench sees only the response file.
void RunVistWeb(const std::string& requestPath, Progress& progress);
