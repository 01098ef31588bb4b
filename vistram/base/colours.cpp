#include "vistram/base/colours.h"

#include "vistram/base/profile.h"

namespace {

constexpr int kBlack = kPaletteBlack;
constexpr int kWhite = kPaletteWhite;

void ReadLetters(const ProfileFile& file, const char* section, int defaultValue, std::array<int, 26>& out) {
  for (int i = 0; i < 26; ++i) {
    const char key[2] = {static_cast<char>('A' + i), '\0'};
    out[static_cast<std::size_t>(i)] = file.GetInt(section, key, defaultValue);
  }
}

}  // namespace

int ResidueLetterIndex(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a';
  return -1;
}

PaletteColour PaletteAt(int index) {
  if (index < 0 || index >= kPaletteSize) return kPalette[0];
  return kPalette[static_cast<std::size_t>(index)];
}

ColourConfiguration ReadColourConfiguration(int code, const std::string& configPath, bool useBackground) {
  ColourConfiguration c;
  c.text.fill(kBlack);
  c.back.fill(kWhite);
  ProfileFile file;
  if (code == kColourHca || code == kColourIdentity) file.Load(configPath);
  if (code == kColourHca) {
    ReadLetters(file, "Couleurs_HCA", kBlack, c.text);
    ReadLetters(file, "Couleur_Fond_HCA", kWhite, c.back);
  } else if (code == kColourIdentity) {
    c.ident = file.GetInt("Couleurs_SimIden", "IDENT", 2);
    c.simil = file.GetInt("Couleurs_SimIden", "SIMIL", 4);
    c.autre = file.GetInt("Couleurs_SimIden", "AUTRE", 0);
    ReadLetters(file, "Couleur_Fond_SimIden", kWhite, c.back);
  }
  if (!useBackground) c.back.fill(kWhite);
  // A letter written in its own background colour would vanish (proline's
  // white text once the backgrounds are off): it takes the contrast.
  for (std::size_t i = 0; i < c.text.size(); ++i) {
    if (c.text[i] == c.back[i]) c.text[i] = c.back[i] == kBlack ? kWhite : kBlack;
  }
  return c;
}

void AssignHcaColours(const ColourConfiguration& hcaColours, std::string_view residues, std::vector<int>& text,
                      std::vector<int>& back) {
  text.assign(residues.size(), kBlack);
  back.assign(residues.size(), kWhite);
  for (std::size_t i = 0; i < residues.size(); ++i) {
    const int li = ResidueLetterIndex(residues[i]);
    if (li < 0) continue;
    text[i] = hcaColours.text[static_cast<std::size_t>(li)];
    back[i] = hcaColours.back[static_cast<std::size_t>(li)];
  }
}

void AssignHcaColours(const std::string& configPath, std::string_view residues, std::vector<int>& text,
                      std::vector<int>& back) {
  AssignHcaColours(ReadColourConfiguration(kColourHca, configPath), residues, text, back);
}
