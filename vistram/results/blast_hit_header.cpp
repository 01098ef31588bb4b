#include <algorithm>
#include <string>

#include "vistram/results/blast_parser.h"
#include "vistram/results/blast_reader.h"
#include "vistram/results/report_text.h"
#include "vistram/base/text_scan.h"

namespace blast_reader {

using report_text::TextOutsideTags;

namespace {

// Text-form header: identifier is the first word outside tags, description
// the rest; url from the first quoted text when the header has a link.
void AnalyseTextHeader(HspData& hit, std::string_view up, std::string_view rawHeader, bool plus) {
  std::size_t i = 0;
  bool inTag = false;
  if (plus) {
    // BLAST+ writes "> id description": the identifier follows the blank.
    if (i < up.size() && up[i] == '>') ++i;
    while (i < up.size() && up[i] == ' ') ++i;
  }
  // (Scratch texts reused from hit to hit: no allocation per header.)
  thread_local std::string id;
  id.clear();
  for (; i < up.size(); ++i) {
    const char c = up[i];
    if (c == '<') {
      inTag = true;
      continue;
    }
    if (c == '>') {
      inTag = false;
      continue;
    }
    if (inTag) continue;
    if (c == ' ' || c == '\t') {
      // BLAST+ HTML puts the anchor first: "><a name=Subject_1></a> id
      // description"; the identifier is the first word after it.
      if (plus && id.empty()) continue;
      break;
    }
    id.push_back(c);
  }
  SetText(hit.identifier, id, width::kIdentifier);
  if (i < up.size()) ++i;
  while (i < up.size() && up[i] == ' ') ++i;
  SetText(hit.description, TextOutsideTags(up, i), width::kDescription);
  if (up.find("<A HREF") != std::string_view::npos) {
    std::string quoted;
    const std::size_t q1 = rawHeader.find('"');
    if (q1 != std::string_view::npos) {
      const std::size_t q2 = rawHeader.find('"', q1 + 1);
      if (q2 != std::string_view::npos) quoted.assign(rawHeader.substr(q1 + 1, q2 - q1 - 1));
    }
    // A relative ExPASy entry link gets the server's address in front.
    const bool relativeSprot =
        up.find("HTTP:") == std::string_view::npos && up.find("GET-SPROT-ENTRY") != std::string_view::npos;
    SetText(hit.url, relativeSprot ? std::string(kExpasyBaseUrl) + quoted : quoted, width::kUrl);
  }
}

// Anchored header ("<A NAME" and "<A HREF"): the identifier is the link text
// after the first "</A>", the description what follows it outside tags.
void AnalyseAnchoredHeader(HspData& hit, std::string_view up, std::string_view rawHeader) {
  const std::size_t close = up.find("</A>");
  if (close != std::string_view::npos) {
    std::size_t i = close + 4;
    while (i < up.size() && up[i] != '>') ++i;
    if (i < up.size()) ++i;  // past the '>'
    thread_local std::string id;
    id.clear();
    bool inTag = false;
    for (; i < up.size(); ++i) {
      const char c = up[i];
      if (c == '<' && i + 1 < up.size() && up[i + 1] == '/') break;
      if (c == '<') {
        inTag = true;
        continue;
      }
      if (c == '>') {
        inTag = false;
        continue;
      }
      if (inTag) continue;
      id.push_back(c);
      if (i + 1 < up.size() && (up[i + 1] == ' ' || up[i + 1] == '\t')) {
        ++i;
        break;
      }
    }
    SetText(hit.identifier, id, width::kIdentifier);
    // The description: outside tags, after the next '>'.
    while (i < up.size() && up[i] != '>') ++i;
    if (i < up.size()) ++i;
    SetText(hit.description, TextOutsideTags(up, i), width::kDescription);
  }
  if (up.find("/ENTREZ/") != std::string_view::npos) {
    const std::size_t href = up.find("<A HREF");
    const std::size_t eq = href == std::string_view::npos ? href : up.find('=', href);
    const std::size_t gt = eq == std::string_view::npos ? eq : up.find('>', eq);
    if (gt != std::string_view::npos && eq + 2 <= gt - 1 && gt - 1 <= rawHeader.size()) {
      const std::string_view link = rawHeader.substr(eq + 2, gt - 1 - (eq + 2));
      if (up.find("HTTP:", eq) != std::string_view::npos)
        SetText(hit.url, link, width::kUrl);
      else
        SetText(hit.url, std::string(kNcbiBaseUrl) + std::string(link), width::kUrl);
    }
  }
}

}  // namespace

void AnalyseHitHeader(HspData& hit, std::string_view header, bool plus) {
  const std::string_view raw = header.substr(0, std::min(header.size(), kHeaderAnalysed));
  thread_local std::string up;  // (reused from hit to hit: no allocation per header)
  up.assign(raw);
  UpperCopy(up.data(), raw.data(), raw.size());
  const bool hasName = up.find("<A NAME") != std::string::npos;
  const bool hasHref = up.find("<A HREF") != std::string::npos;
  if (!up.empty() && up[0] == '>' && !hasName)
    AnalyseTextHeader(hit, up, raw, plus);
  else if (hasName && hasHref)
    AnalyseAnchoredHeader(hit, up, raw);
  else if (plus && !up.empty() && up[0] == '>')
    AnalyseTextHeader(hit, up, raw, plus);  // BLAST+ HTML: "><a name=Subject_1></a> id description"
}

}  // namespace blast_reader
