// The program's string table and the message-box helpers that every window
// and flow uses. Captions and texts are loaded by id from the string table
// (at most 254 characters each).
#pragma once
#include <string>
#include <string_view>

#include "vistram/platform/platform.h"

// Common string ids.
inline constexpr int IDS_CAPTION = 16;          // "Vistram"
inline constexpr int IDS_CANNOT_READ_FILE = 128;  // "Unable to open or read your file..." (%s: the path)
inline constexpr int IDS_LOAD_ALREADY_RUNNING = 1201;  // Open while a report is still being loaded

// The main window.
inline constexpr int IDS_CANNOT_CREATE_WINDOWS = 18;  // "Unable to create windows.\nEnd..."
inline constexpr int IDS_EXIT_PROGRAM = 19;           // "Exit program ?"
inline constexpr int IDS_FILE_BEING_READ = 20;        // "A file is being read.\nPlease wait until it is loaded."
inline constexpr int IDS_MENU_FILE_HELP = 176;        // status-bar text of the File menu
inline constexpr int IDS_MENU_EDIT_HELP = 177;
inline constexpr int IDS_MENU_OPTIONS_HELP = 178;
inline constexpr int IDS_MENU_TOOLS_HELP = 179;
inline constexpr int IDS_MENU_HELP_HELP = 180;
inline constexpr int IDS_RENAME_FILE_ON_DISK = 288;  // "Rename the file on disk ?"
inline constexpr int IDS_CANNOT_RENAME_FILE = 289;   // "Unable to rename the file."

// Record searches (String Finder, ID analyser, Field Search).
inline constexpr int IDS_SEARCH_NO_TABLE = 1600;           // "No table(s) selected.\nPlease retry."
inline constexpr int IDS_SEARCH_NO_KEYWORD = 1601;         // "No keyword to search for.\nPlease retry."
inline constexpr int IDS_SEARCH_KEYWORD_NOT_FOUND = 1602;  // "The keyword was not found."
inline constexpr int IDS_SEARCH_FOUND_IN = 1603;           // "Keyword found in : %s." (%s: "found / examined")
inline constexpr int IDS_SEARCH_FATAL = 1604;              // "Fatal error during the search process."
inline constexpr int IDS_SEARCH_INVALID_RANGE = 1605;      // "Invalid range. Please retry."
inline constexpr int IDS_SEARCH_INVALID_FIELD = 1606;      // "You search with a invalid field."
inline constexpr int IDS_SEARCH_NO_ENTRIES = 1607;         // "No entries found during the search."

// Sequence input (download from NCBI).
inline constexpr int IDS_NCBI_NO_CONNECTION = 4101;    // "Unable to connect NCBI."
inline constexpr int IDS_NCBI_NOT_PROTEIN = 4102;      // "The entry does not contain a protein sequence."
inline constexpr int IDS_NCBI_BAD_ACCESS_CODE = 4103;  // "Access code invalid."

// Mapper.
inline constexpr int IDS_MIXED_RESULTS = 85;           // "Unable to construct a multiple sequence\n alignment with mixed results."
inline constexpr int IDS_MAP_NO_SELECTION = 256;       // "No sequences selected."
inline constexpr int IDS_CANNOT_SAVE = 258;        // "Unable to write the file :\n%s."
inline constexpr int IDS_CANNOT_SAVE_HTML = 259;   // "Unable to write the HTML report :\n%s."
inline constexpr int IDS_MAP_CAPTION = 6100;           // "Mapper"
inline constexpr int IDS_MAP_UNKNOWN_QUERY_SIZE = 6101;  // "Unknown query size."
inline constexpr int IDS_MAP_CANNOT_PREPARE = 6102;    // "Unable to prepare map."
inline constexpr int IDS_MAP_CANNOT_LOAD = 6103;       // "Unable to load BLAST map."

// The text of string `id`, cut to 254 characters; empty when the table has no such id.
std::string LoadStringText(int id);

void MyErrMsgBox(int captionId, int textId, WindowHandle owner);
void MyInfoMsgBox(int captionId, int textId, WindowHandle owner);
MsgAnswer MyAskMsgBox(int captionId, int textId, WindowHandle owner);
// The format string `formatId` with its "%s" replaced by `text`; the caption is
// cut to 19 characters and the whole message to 499.
void MyTxtErrMsgBox(int captionId, int formatId, WindowHandle owner, std::string_view text);
void MyTxtInfoMsgBox(int captionId, int formatId, WindowHandle owner, std::string_view text);
// The message that MyTxt...MsgBox would show (used by batch mode on standard error).
std::string FormatTxtMessage(int formatId, std::string_view text);
