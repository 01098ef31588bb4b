#include "vistram/platform/messages.h"

#include <map>

#include "vistram/base/command_ids.h"

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
      {192, "No printer installed on this computer."},
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
      {kCmdOpen, "Open a BLAST, FASTA or saved results file"},
      {kCmdSave, "Save the current table or its selected alignments"},
      {kCmdClose, "Close the current table"},
      {kCmdDatabaseInfo, "Display the header of the current file"},
      {kCmdExit, "Quit Vistram"},
      {kCmdSelectFirstAlignments, "Select the first alignment of every database sequence"},
      {kCmdSelectAllAlignments, "Select every alignment"},
      {kCmdUnselectAllAlignments, "Unselect every alignment"},
      {kCmdViewDatabaseFile, "Display the database entry of the current sequence in the web navigator"},
      {kCmdColours, "Choose the colours of the alignment viewer"},
      {kCmdGuiParameters, "Font sizes of the list and of the alignment viewer"},
      {kCmdHcaViewer, "Show or hide the HCA plots of the current alignment"},
      {kCmdFullHcaViewer, "Open or close the window of the full HCA plots"},
      {kCmdStringFinder, "Search a word in the identifiers and descriptions of the tables"},
      {kCmdIdAnalyser, "Group the hits of the tables by identifier"},
      {kCmdFieldSearch, "Search the tables by the value of a field"},
      {kCmdAbout, "About Vistram"},
      {kCmdRename, "Rename the current table"},
      {kCmdMapper, "Display the map of the selected alignments"},
      // Mapper.
      {IDS_MIXED_RESULTS, "Unable to construct a multiple sequence\n alignment with mixed results."},
      {IDS_MAP_CAPTION, "Mapper"},
      {IDS_MAP_UNKNOWN_QUERY_SIZE, "Unknown query size."},
      {IDS_MAP_CANNOT_PREPARE, "Unable to prepare map."},
      {IDS_MAP_CANNOT_LOAD, "Unable to load BLAST map."},
      {IDS_NCBI_NO_CONNECTION, "Unable to connect NCBI."},
      {IDS_NCBI_NOT_PROTEIN, "The entry does not contain a protein sequence."},
      {IDS_NCBI_BAD_ACCESS_CODE, "Access code invalid."},
      // Web requests: the BLAST-2 and ClustalW builders and the web helper's hand-over.
      {227, "BLAST configuration file not found."},
      {kCmdBlast2Defaults, "Default values of the BLAST-2 requests"},
      {kCmdBlast2Search, "Send a BLAST-2 request to a Web server"},
      {kCmdClustalRequest, "Send a ClustalW request to a Web server"},
      {8100, "Unable to create BLAST result file."},
      {8101, "Unable to create/read Web file."},
      {8102, "Unable to call 'Vist Web'."},
      {8103, "BLAST-2 done. Ready to \nopen the results file."},
      {8110, "List of BLAST programs not found."},
      {8111, "Default BLAST program name not found."},
      {8112, "Databases/Genetic codes file not found."},
      {8113, "BLAST server name not found."},
      {8114, "BLAST method not found."},
      {8115, "Default expect value not found."},
      {8116, "Default filter name not found."},
      {8117, "Default descriptions number not found."},
      {8118, "Default alignments number not found."},
      {8119, "Default matrix name not found."},
      {8120, "List of database names not found."},
      {8121, "Default database name not found."},
      {8122, "Default genetic code not found."},
      {8123, "No sequence entered."},
      {8124, "Please use either ExPASy or Infobiogen\nor NCBI WWW server."},
      {8125, "Unable to create BLAST request."},
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
