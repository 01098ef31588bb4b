// Residue colours: the sixteen-colour palette that every view indexes, the
// three colour codes of the pairwise view read from the configuration file,
// and the colouring of one sequence (results/alignment_colours.h colours an
// alignment).
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

struct PaletteColour {
  int red, green, blue;
};
inline constexpr int kPaletteSize = 16;
// 0 black, 1 white, 2 red, 3 green, 4 blue, 5 yellow, 6 magenta, 7 cyan,
// 8 dark red, 9 dark green, 10 navy, 11 olive, 12 purple, 13 teal,
// 14 light grey, 15 grey.
inline constexpr std::array<PaletteColour, kPaletteSize> kPalette = {{
    {0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 255, 0},
    {0, 0, 255}, {255, 255, 0}, {255, 0, 255}, {0, 255, 255},
    {128, 0, 0}, {0, 128, 0}, {0, 0, 128}, {128, 128, 0},
    {128, 0, 128}, {0, 128, 128}, {192, 192, 192}, {128, 128, 128},
}};
inline constexpr int kPaletteBlack = 0;
inline constexpr int kPaletteWhite = 1;
// The palette colour of `index`; indexes outside 0..15 give black.
PaletteColour PaletteAt(int index);

// 0..25 for a letter A..Z of either case, -1 for anything else.
int ResidueLetterIndex(char c);

// Colour codes of the pairwise view.
inline constexpr int kColourHca = 10;         // "HCA standard colour code"
inline constexpr int kColourIdentity = 20;    // "Identity/similarity colour code"
inline constexpr int kColourBlackWhite = 30;  // "Black and white"

// The colours of one colour code: text and background of each letter A..Z,
// and the identity/similarity text colours.
struct ColourConfiguration {
  std::array<int, 26> text{};
  std::array<int, 26> back{};
  int ident = 0;
  int simil = 0;
  int autre = 0;
};

// Reads the colours of `code` from the configuration file (a missing key
// gives its default): code 10 from Couleurs_HCA and Couleur_Fond_HCA, code 20
// from Couleurs_SimIden and Couleur_Fond_SimIden, code 30 black on white.
// Without `useBackground` every letter's background is white (1).
ColourConfiguration ReadColourConfiguration(int code, const std::string& configPath, bool useBackground = true);

// The HCA colour-code text and background of each residue of `residues`
// (letters of either case as their upper-case letter, anything else black
// on white), as the HCA plots colour one sequence.
void AssignHcaColours(const ColourConfiguration& hcaColours, std::string_view residues, std::vector<int>& text,
                      std::vector<int>& back);
void AssignHcaColours(const std::string& configPath, std::string_view residues, std::vector<int>& text,
                      std::vector<int>& back);
