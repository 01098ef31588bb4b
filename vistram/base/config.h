// The configuration file vistram.cfg beside the program: the display
// preferences read at start-up, the paths of the web browser and of the
// companion program Hitmerge, and the first-start browser detection. The
// shell starts those two programs (shell/companions.h).
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "vistram/base/installation.h"


// Messages of the configuration and display (string table ids).
inline constexpr int IDS_CAPTION_BLANK = 1300;           // "Vistram "
inline constexpr int IDS_NAVIGATOR_NOT_FOUND = 1301;     // "Navigator not found."
inline constexpr int IDS_HITMERGE_NOT_FOUND = 1302;      // "Hitmerge not found."
inline constexpr int IDS_CANNOT_START_NAVIGATOR = 1303;  // "Unable to find a Web navigator..."
inline constexpr int IDS_CANNOT_START_HITMERGE = 1304;   // "Unable to start Hitmerge..."
inline constexpr int IDS_CANNOT_CREATE_FONTS = 1305;     // "Unable to create fonts"
inline constexpr int IDS_FONT_SIZE_RANGE = 1306;         // "Font size must be in the range..."
inline constexpr int IDS_LIST_LINES_RANGE = 1307;        // "Number of lines for the ListBox..."

// Sections and keys of the display preferences.
inline constexpr const char* kGuiSection = "GUI_PREF";
inline constexpr const char* kHcaSection = "HCA_PREF";

// Limits that the file's values are clamped to and the dialog enforces.
inline constexpr int kMinFontSize = 6;
inline constexpr int kMaxFontSize = 14;
inline constexpr int kMinListLines = 1;
inline constexpr int kMaxListLines = 4;

// Font sizes of the HCA plots (points).
struct HcaPreferences {
  int letterFontSize = 8;   // HCA_PREF/HCAFNTSIZE
  int symbolFontSize = 10;  // HCA_PREF/HCASPEFNTSIZE
};

// The display preferences, read once at start-up and kept for the run (the
// "GUI parameters" dialog changes them for the run only).
struct GuiPreferences {
  int comboFontSize = 10;   // GUI_PREF/CBFNTSIZE, points
  int listFontSize = 12;    // GUI_PREF/LBFNTSIZE, points
  int viewerFontSize = 12;  // GUI_PREF/ALIFNTSIZE, points
  int listLines = 2;        // GUI_PREF/LBLINES, text lines per result-list entry
  HcaPreferences hca;
};

// BuildConfigPath (where vistram.cfg is) is in installation.h.

// Reads the six preferences (each clamped to its limits) from the file at
// `configPath`, in the order HCAFNTSIZE, HCASPEFNTSIZE, CBFNTSIZE, LBFNTSIZE,
// ALIFNTSIZE, LBLINES; a null destination is skipped. A missing file or key
// yields the default.
void ReadGuiConfiguration(const std::string& configPath, int* hcaFontSize, int* hcaSymbolFontSize,
                          int* comboFontSize, int* listFontSize, int* viewerFontSize, int* listLines);
GuiPreferences ReadGuiPreferences(const std::string& configPath);

// EXTERN/HITMERGE and INTERNET/NAVIGATOR (at most 519 characters, default
// " "). True when the value is longer than 4 characters.
bool ReadCompanionPath(const std::string& configPath, std::string& path);
bool ReadBrowserPath(const std::string& configPath, std::string& command);

// The desktop's default web browser command (the Exec line of the handler of
// text/html), or empty when there is none.
using BrowserLookup = std::function<std::string()>;
std::string FindDefaultBrowserCommand();

// First-start browser detection on the configuration file at `configPath`:
// when INTERNET/NAVIGATOR is present with an empty value, the command found
// by `lookup` is written there. Nothing is written when the key is missing,
// already set, or no browser is found. True when the file was changed.
bool DetectBrowser(const std::string& configPath, const BrowserLookup& lookup);
// Checks the values of the "GUI parameters" dialog in the order list font
// size, viewer font size, list lines: 0 when all are within their limits,
// otherwise the first that is not (1 list font, 2 viewer font, 3 lines).
enum GuiParameterField { kGuiParametersValid = 0, kGuiListFont = 1, kGuiViewerFont = 2, kGuiListLines = 3 };
int ValidateGuiParameters(int listFontSize, int viewerFontSize, int listLines);
// The string id of the message for a failed field.
int GuiParameterMessage(int field);
