// The writer of the "--hca" batch command that measures the HCA font and
// draws pictures: installed by the program's entry before batch commands run.
#pragma once
#include <string>

#include "vistram/hca/hca_batch_job.h"

// Writes job.outputPath as .hca, .svg or .png. Makes a QGuiApplication on the
// offscreen platform when none exists, so no display is needed.
int WriteHcaBatchOutput(const HcaBatchJob& job, std::string& error);
