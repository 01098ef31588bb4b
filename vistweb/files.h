// Whole-file reading and writing for the helper's answers.
#pragma once
#include <string>
#include <string_view>

// The whole content of `path`; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// Replaces `path` with `text` through a temporary file renamed over it, so a
// failed write leaves the earlier file as it was.
void ReplaceFile(const std::string& path, std::string_view text);
