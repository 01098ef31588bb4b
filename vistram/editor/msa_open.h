// The model side of opening the editor: reading an MSF file for it and
// building its MSA from the selection, each with the messages the user sees
// (through the platform layer). The windows call these, and so does the
// batch mode.
#pragma once
#include <memory>
#include <string>

#include "vistram/editor/msa.h"
#include "vistram/platform/platform.h"

// Message texts and captions of the editor's construction.
inline constexpr const char* kCaptionVistram = "Vistram";
inline constexpr const char* kCaptionEditor = "DorUvo editor";
inline constexpr const char* kMsgNoSequences = "No sequences selected.";
inline constexpr const char* kMsgCannotLoadEditor = "Unable to load the editor.";
inline constexpr const char* kMsgMixedResults = "Unable to construct a multiple sequence\n alignment with mixed results.";
inline constexpr const char* kMsgEditorRunningNew = "Unable to display a new MSA when\nDorUvo Editor is already running.";
inline constexpr const char* kMsgEditorRunningMsf = "Unable to open an MSF file when\nDorUvo Editor is already running.";
inline constexpr const char* kMsgCannotCreateWindow = "Unable to create DorUvo Editor's window.";
inline constexpr const char* kMsgFatal = "Fatal error during the\nconstruction of the MSA.";

// Reads the MSF file at `path` into a new MSA. Null after telling the user
// "Unable to open a non-MSF file." or "Unable to read MSF data." (error boxes
// titled "Vistram", owned by `owner`).
std::unique_ptr<DarUvaData> LoadMsfFile(WindowHandle owner, const std::string& path, const std::string& configPath);

// Builds the MSA from the selected alignments of the working set of `dp`.
// result: 1 built; 2 nothing selected (the user was told "No sequences
// selected."); 0 failure (the caller reports it).
std::unique_ptr<DarUvaData> BuildMsaFromSelection(WindowHandle owner, const DataProgram& dp, int& result,
                                                  MsaProgressFn progress = nullptr, void* context = nullptr);

// The text of "Unable to write the file :\n%s." for `path`.
std::string CannotWriteMessage(const std::string& path);
