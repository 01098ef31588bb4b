// The HCA plot file (extension "hca"): one plotted sequence, byte for byte,
// all integers 32-bit little-endian, doubles IEEE 754 little-endian, with
// nothing between the parts:
//   header    29 bytes  "Fichier graphique HCAplots", 0x0A, 0x1A, 0x00
//   marker     4        the integer 256
//   record   872        the InfoSeq: three NUL-padded texts of 260 bytes,
//                       then 23 four-byte fields (the four that refer to
//                       owned data are written as 0)
//   length     4        n, the number of residue characters
//   residues   n        the characters, no terminator
//   clusters  16 each   number, first, last, zigzag flag
//   zigzags    4 each   1-based positions
//   residues 153 each   the InfoAA records, packed
// Nothing in the program reads these files back.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "vistram/hca/hca_model.h"
#include "vistram/platform/platform.h"

inline constexpr std::size_t kHcaFileHeaderSize = 29;
inline constexpr std::size_t kHcaFileRecordSize = 872;
inline constexpr std::size_t kHcaFileResidueSize = 153;
inline constexpr std::size_t kHcaFileClusterSize = 16;

// The bytes of the plot file of `seq`.
std::vector<std::uint8_t> HcaPlotFileBytes(const InfoSeq& seq);

// Writes the plot file at `path`: to a temporary file in the same folder,
// renamed over `path` once complete, so a failure never leaves a partial
// file there. 1 on success, 0 when the file cannot be written.
int WriteHcaPlotFile(const std::string& path, const InfoSeq& seq);

// Asks for a file name ("Save HCA plot") and writes the plot file. Returns 1
// when written, 0 when the user cancelled, -1 after the "Unable to create
// File." message (the dialog failed or the file could not be written).
int SaveHCAPlot(WindowHandle owner, const InfoSeq& seq);

// String ids of the HCA windows.
inline constexpr int IDS_HCA_CAPTION = 48;       // "HCA viewer"
inline constexpr int IDS_HCA_NO_GDI = 49;        // "Unable to create GDI objects."
inline constexpr int IDS_HCA_CANNOT_CREATE = 50; // "Unable to create File."
inline constexpr int IDS_HCA_TIP_SAVE_QUERY = 112;
inline constexpr int IDS_HCA_TIP_SAVE_DB = 113;
inline constexpr int IDS_HCA_TIP_PRINT = 114;
inline constexpr int IDS_HCA_TIP_PRINTER_SETUP = 115;
