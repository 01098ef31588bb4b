#include "vistram/platform/messages.h"

#include <map>

namespace {
// The string table. Ids are those the windows and flows pass.
const std::map<int, std::string_view>& StringTable() {
  static const std::map<int, std::string_view> table = {
      {IDS_CAPTION, "Vistram"},
      {48, "HCA viewer"},
      {49, "Unable to create GDI objects."},
      {50, "Unable to create File."},
      {112, "Save query HCA plot on disk"},
      {113, "Save DB HCA plot on disk"},
      {114, "Print HCA alignment"},
      {115, "Printer setup"},
      {IDS_CANNOT_READ_FILE, "Unable to open or read your file.\nPlease, check the file :\n%s."},
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
