// Helpers of the sequence-input tests: a private temporary folder and files
// written into it.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/temp_folder.h"

// A private folder; Path() is where it is.
struct TempFolder : test_support::TempFolder {
  std::filesystem::path Path() const { return path(); }
};

inline std::string SequenceDataFile(const std::string& name) {
  return std::string(VISTRAM_TEST_DATA_DIR) + "/sequences/" + name;
}
