// The batch commands, one source file each (batch_<name>.cpp). Each gets the
// arguments after its option word and returns the process exit code: 0 on
// success, 1 when its input could not be loaded or its output written, 2 on
// a usage error.
#pragma once

// vistram --export-tsv REPORT [-o OUT]
int RunExportTsv(int argc, char** argv);
