// What the two web-request batch commands share: their arguments, the
// configuration they read, and the delivery of the helper's answer.
#pragma once
#include <functional>
#include <string>

struct WebBatchArguments {
  std::string input;   // SEQFILE or FASTAFILE
  std::string output;  // -o
  std::string config;  // --config, else vistram.cfg beside the program
};
// INPUT -o OUT [--config FILE], in any order. False on a usage error.
bool ParseWebBatchArguments(int argc, char** argv, WebBatchArguments& args);

// The helper's answer at `response` (missing when it wrote none) checked by
// `loads` and then written to `output` through a temporary file renamed into
// place; the answer in the cache is removed. 0 on success, 1 after a message
// on standard error.
int DeliverWebAnswer(const std::string& response, const std::string& output,
                     const std::function<bool(const std::string&)>& loads);
