// Loading a report in batch mode exactly as the Open command does: the path
// goes into the pending file path, the load runs on its worker thread with
// the same recognition, parsers and result codes, and the load-done handler
// makes the tables. Message boxes go to standard error.
#pragma once
#include <string>

#include "vistram/results/records.h"
#include "vistram/results/batch_result_view.h"

// Loads `path` into new tables of `dp`. 1 when loaded; 0 when the report
// could not be loaded (its message has been written to standard error).
int LoadReportForBatch(DataProgram& dp, const std::string& path);
