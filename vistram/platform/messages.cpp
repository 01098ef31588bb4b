#include "vistram/platform/messages.h"

#include <map>

namespace {
// The string table. Ids are those the windows and flows pass.
const std::map<int, std::string_view>& StringTable() {
  static const std::map<int, std::string_view> table = {
      // Toolbar tooltips, one per button in toolbar order.
      {0, "Open a new file"},
      {1, "Print 1D alignment"},
      {2, "Printer setup"},
      {3, "Display database information"},
      {4, "INTERNET database interrogation"},
      {5, "Connect BLAST Web server"},
      {6, "HCA viewer"},
      {7, "DorUvo Editor"},
      {8, "Mapper"},
      {9, "String Finder"},
      {10, "bye bye Vistram..."},
      {IDS_CAPTION, "Vistram"},
      {48, "HCA viewer"},
      {49, "Unable to create GDI objects."},
      {50, "Unable to create File."},
      {112, "Save query HCA plot on disk"},
      {113, "Save DB HCA plot on disk"},
      {114, "Print HCA alignment"},
      {115, "Printer setup"},
      {IDS_CANNOT_READ_FILE, "Unable to open or read your file.\nPlease, check the file :\n%s."},
      {256, "No sequences selected."},
      {257, "Please enter a file name."},
      {258, "Unable to write the file :\n%s."},
      {259, "Unable to write the HTML report :\n%s."},
      {17, "Unable to register windows classes.\nEnd..."},
      {18, "Unable to create windows.\nEnd..."},
      {19, "Exit program ?"},
      {20, "A file is being read.\nPlease wait until it is loaded."},
      // Menu help of the five popup menus.
      {176, "Open, save, close a file ; print a sequence alignment ; Quit"},
      {177, "Alignment selection"},
      {178, "GUI configuration"},
      {179, "Tools of Vistram "},
      {180, "Help"},
      {288, "Rename the file on disk ?"},
      {289, "Unable to rename the file."},
      {IDS_LOAD_ALREADY_RUNNING, "A report is already being loaded.\nPlease wait until it is shown."},
      // Configuration, browser and Hitmerge, fonts, GUI parameters.
      {1300, "Vistram "},
      {1301, "Navigator not found."},
      {1302, "Hitmerge not found."},
      {1303, "Unable to find a Web navigator.\nPlease update the vistram.cfg file."},
      {1304, "Unable to start Hitmerge.\nPlease update the vistram.cfg file."},
      {1305, "Unable to create fonts"},
      {1306, "Font size must be in the range \n6 to 14.\nPlease retry."},
      {1307, "Number of lines for the ListBox\nmust be in the range 1 to 4.\nPlease Retry."},
      // Record searches.
      {IDS_SEARCH_NO_TABLE, "No table(s) selected.\nPlease retry."},
      {IDS_SEARCH_NO_KEYWORD, "No keyword to search for.\nPlease retry."},
      {IDS_SEARCH_KEYWORD_NOT_FOUND, "The keyword was not found."},
      {IDS_SEARCH_FOUND_IN, "Keyword found in : %s."},
      {IDS_SEARCH_FATAL, "Fatal error during the search process."},
      {IDS_SEARCH_INVALID_RANGE, "Invalid range. Please retry."},
      {IDS_SEARCH_INVALID_FIELD, "You search with a invalid field."},
      {IDS_SEARCH_NO_ENTRIES, "No entries found during the search."},
      // Menu help of the commands (the string id is the command id).
      {3000, "Open a BLAST, FASTA or saved results file"},
      {3001, "Save the current table or its selected alignments"},
      {3002, "Close the current table"},
      {3003, "Display the header of the current file"},
      {3006, "Quit Vistram"},
      {3007, "Select the first alignment of every database sequence"},
      {3008, "Select every alignment"},
      {3009, "Unselect every alignment"},
      {3010, "Display the database entry of the current sequence in the web navigator"},
      {3011, "Choose the colours of the alignment viewer"},
      {3012, "Font sizes of the list and of the alignment viewer"},
      {3014, "Show or hide the HCA plots of the current alignment"},
      {3015, "Open or close the window of the full HCA plots"},
      {3018, "Search a word in the identifiers and descriptions of the tables"},
      {3021, "Group the hits of the tables by identifier"},
      {3022, "Search the tables by the value of a field"},
      {3028, "About Vistram"},
      {3031, "Rename the current table"},
      {IDS_NCBI_NO_CONNECTION, "Unable to connect NCBI."},
      {IDS_NCBI_NOT_PROTEIN, "The entry does not contain a protein sequence."},
      {IDS_NCBI_BAD_ACCESS_CODE, "Access code invalid."},
  };
  return table;
}

std::string Cut(std::string s, std::size_t max) {
  if (s.size() > max) s.resize(max);
  return s;
}
}  // namespace

std::string LoadStringText(int id) {
  const auto& table = StringTable();
  auto it = table.find(id);
  if (it == table.end()) return {};
  return Cut(std::string(it->second), 254);
}

void MyErrMsgBox(int captionId, int textId, WindowHandle owner) {
  CurrentPlatform().MessageBox(owner, LoadStringText(captionId), LoadStringText(textId), MsgIcon::Error,
                               MsgButtons::Ok);
}

void MyInfoMsgBox(int captionId, int textId, WindowHandle owner) {
  CurrentPlatform().MessageBox(owner, LoadStringText(captionId), LoadStringText(textId), MsgIcon::Information,
                               MsgButtons::Ok);
}

MsgAnswer MyAskMsgBox(int captionId, int textId, WindowHandle owner) {
  return CurrentPlatform().MessageBox(owner, LoadStringText(captionId), LoadStringText(textId), MsgIcon::Question,
                                      MsgButtons::YesNo);
}

std::string FormatTxtMessage(int formatId, std::string_view text) {
  std::string format = LoadStringText(formatId);
  std::string out;
  auto pos = format.find("%s");
  if (pos == std::string::npos) {
    out = format;
  } else {
    out = format.substr(0, pos);
    out.append(text);
    out.append(format, pos + 2);
  }
  return Cut(std::move(out), 499);
}

void MyTxtErrMsgBox(int captionId, int formatId, WindowHandle owner, std::string_view text) {
  CurrentPlatform().MessageBox(owner, Cut(LoadStringText(captionId), 19), FormatTxtMessage(formatId, text),
                               MsgIcon::Error, MsgButtons::Ok);
}

void MyTxtInfoMsgBox(int captionId, int formatId, WindowHandle owner, std::string_view text) {
  CurrentPlatform().MessageBox(owner, Cut(LoadStringText(captionId), 19), FormatTxtMessage(formatId, text),
                               MsgIcon::Information, MsgButtons::Ok);
}
