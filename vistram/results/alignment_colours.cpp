#include "vistram/results/alignment_colours.h"

#include "vistram/results/records.h"

namespace {
constexpr int kBlack = kPaletteBlack;
constexpr int kWhite = kPaletteWhite;
}  // namespace

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
    const int qi = ResidueLetterIndex(q);
    const int si = ResidueLetterIndex(s);
    if (code == kColourIdentity) {
      view.middleTextColours[k] = kBlack;
      view.middleBackColours[k] = kWhite;
      int text = colours.simil;
      if (ResidueLetterIndex(m) >= 0) {
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
      const bool identity = ResidueLetterIndex(m) >= 0;
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
