// What the main window's commands do to the result store, apart from any
// window: the command line, the selection commands, stepping through the
// alignments of a hit, renaming a table, and the texts the window shows.
#pragma once
#include <string>
#include <string_view>

#include "vistram/results/records.h"

// The command line of the workbench: a report to open, or an MSF file
// followed by a blank and "{msf_file}" to open in the alignment editor.
struct CommandLine {
  std::string path;     // the file named (the MSF marker and its blank removed)
  bool msf = false;     // the line carried "{msf_file}"
  bool tooLong = false; // the path does not fit the 259 characters of a path
};
inline constexpr std::string_view kMsfMarker = "{msf_file}";

// The arguments after the program name joined with one blank, as one line.
std::string JoinArguments(int argc, char** argv);
// Splits a command line; an empty line gives an empty path.
CommandLine ParseCommandLine(std::string_view line);

// True when the working set has hits (the "data" state of the commands).
bool HasData(const DataProgram& dp);
// True when the working set has hits and was read from HTML.
bool HasHtmlData(const DataProgram& dp);

// "Vistram - BLAST", "Vistram - BLAST 2", "Vistram - FASTA",
// "Vistram - Mixed results", or "Vistram " for any other result type.
std::string ResultTitle(int resultType);

// Selection commands over every hit of the working set.
void SelectAllFirstAlignments(DataProgram& dp);  // flag 0 of every hit set
void SelectAllAlignments(DataProgram& dp);       // every flag set
void UnselectAllAlignments(DataProgram& dp);     // every flag cleared

// The selection flag of alignment `alignmentNumber` (1-based) of hit
// `hitNumber`: 0 or 1, or -1 when there is no such alignment.
int AlignmentSelected(const DataProgram& dp, int hitNumber, int alignmentNumber);
// Inverts that flag (0 becomes 1, anything else 0); returns the new flag or -1.
int ToggleAlignmentSelection(DataProgram& dp, int hitNumber, int alignmentNumber);

// The alignment shown by the previous (step -1) or next (step +1) button
// from the viewer's position, or 0 when that button is not available: the
// hit must have more than one alignment and the step must stay inside it.
int SteppedAlignment(const DataProgram& dp, int step);

// Renaming the current table.
// The table-name list entries equal to `oldName` become `newName` (so that
// the origins shown for alignments of this table follow the new name).
void RenameTableNameEntries(DataProgram& dp, std::string_view oldName, std::string_view newName);
// The path of a renamed file: `sourcePath` cut after its last '/', then
// `newName`, plus ".vist" when `newName` has no '.'. Empty when the new name
// cannot be a file name in that folder (empty, "." or "..", or with a '/').
std::string RenamedSourcePath(std::string_view sourcePath, std::string_view newName);
// Gives the current table and the working set the name `newName`.
// False when there is no current table or the name is empty.
bool RenameCurrentTable(DataProgram& dp, std::string_view newName);
// Results of renaming the current table's file.
enum class FileRenameResult { Renamed, NoFile, Failed };
// Renames the current table's file on disk to RenamedSourcePath(sourcePath,
// newName); the table's sourcePath and reportPath follow only when the file
// was renamed. An existing file of the new name is never replaced.
FileRenameResult RenameCurrentTableFile(DataProgram& dp, std::string_view newName);

// The "File header" texts.
struct FileHeaderTexts {
  std::string sequenceName;   // queryName, a blank, queryLengthText
  std::string databaseName;   // databaseText
  std::string sequenceCount;  // hitCount in decimal
  std::string alignmentCount; // alignmentCount in decimal
};
FileHeaderTexts FileHeaderInfo(const DataProgram& dp);

