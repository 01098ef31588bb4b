#include "vistram/shell/colours.h"

#include "vistram/results/records.h"
#include "vistram/shell/profile.h"

namespace {

constexpr int kBlack = 0;
constexpr int kWhite = 1;

// 0..25 for a letter of either case, -1 for anything else.
int LetterIndex(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a';
  return -1;
}

void ReadLetters(const ProfileFile& file, const char* section, int defaultValue, std::array<int, 26>& out) {
  for (int i = 0; i < 26; ++i) {
    const char key[2] = {static_cast<char>('A' + i), '\0'};
    out[static_cast<std::size_t>(i)] = file.GetInt(section, key, defaultValue);
  }
}

}  // namespace

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

void AssignColours(const ColourConfiguration& colours, int code, VisualHaspData& view) {
  const std::size_t n = static_cast<std::size_t>(view.alignedLength > 0 ? view.alignedLength : 0);
  for (auto* a : {&view.queryTextColours, &view.queryBackColours, &view.middleTextColours,
                  &view.middleBackColours, &view.subjectTextColours, &view.subjectBackColours}) {
    a->assign(n, 0);
  }
  auto at = [](const std::string& line, std::size_t k) { return k < line.size() ? line[k] : ' '; };
  for (std::size_t k = 0; k < n; ++k) {
    const char q = at(view.queryLine, k);
    const char s = at(view.subjectLine, k);
    const char m = at(view.middleLine, k);
    const int qi = LetterIndex(q);
    const int si = LetterIndex(s);
    if (code == kColourIdentity) {
      view.middleTextColours[k] = kBlack;
      view.middleBackColours[k] = kWhite;
      int text = colours.simil;
      if (LetterIndex(m) >= 0) {
        text = colours.ident;
      } else if (m == ' ') {
        text = colours.autre;
      }
      view.queryTextColours[k] = text;
      view.subjectTextColours[k] = text;
      view.queryBackColours[k] = qi >= 0 ? colours.back[static_cast<std::size_t>(qi)] : kWhite;
      view.subjectBackColours[k] = si >= 0 ? colours.back[static_cast<std::size_t>(si)] : kWhite;
    } else {
      // An identity (a letter in the match line) is drawn white on black.
      const bool identity = LetterIndex(m) >= 0;
      view.middleTextColours[k] = identity ? kWhite : kBlack;
      view.middleBackColours[k] = identity ? kBlack : kWhite;
      view.queryTextColours[k] = qi >= 0 ? colours.text[static_cast<std::size_t>(qi)] : kBlack;
      view.queryBackColours[k] = qi >= 0 ? colours.back[static_cast<std::size_t>(qi)] : kWhite;
      view.subjectTextColours[k] = si >= 0 ? colours.text[static_cast<std::size_t>(si)] : kBlack;
      view.subjectBackColours[k] = si >= 0 ? colours.back[static_cast<std::size_t>(si)] : kWhite;
    }
  }
}

void AssignColorForAA(const std::string& configPath, int code, bool useBackground, VisualHaspData& view) {
  AssignColours(ReadColourConfiguration(code, configPath, useBackground), code, view);
}

void AssignHcaColours(const ColourConfiguration& hcaColours, std::string_view residues, std::vector<int>& text,
                      std::vector<int>& back) {
  text.assign(residues.size(), kBlack);
  back.assign(residues.size(), kWhite);
  for (std::size_t i = 0; i < residues.size(); ++i) {
    const int li = LetterIndex(residues[i]);
    if (li < 0) continue;
    text[i] = hcaColours.text[static_cast<std::size_t>(li)];
    back[i] = hcaColours.back[static_cast<std::size_t>(li)];
  }
}

void AssignHcaColours(const std::string& configPath, std::string_view residues, std::vector<int>& text,
                      std::vector<int>& back) {
  AssignHcaColours(ReadColourConfiguration(kColourHca, configPath), residues, text, back);
}
