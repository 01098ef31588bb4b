// The pairwise records of the HTML report, as the pairwise viewer builds and
// colours them.
#include "vistram/html/html_report.h"
#include "vistram/results/blast_parser.h"
#include "vistram/results/alignment_colours.h"

HtmlAlignmentSource DefaultHtmlAlignmentSource(const DataProgram& dp) {
  auto colours = std::make_shared<ColourConfiguration>(
      ReadColourConfiguration(dp.colourCode, dp.configPath, dp.useBackground != 0));
  const int code = dp.colourCode;
  return [colours, code](DataProgram& program, int hitNumber,
                         int alignmentNumber) -> std::unique_ptr<VisualHaspData> {
    std::unique_ptr<VisualHaspData> view = LitUnAlignHsp(nullptr, hitNumber, alignmentNumber, program);
    if (view) AssignColours(*colours, code, *view);
    return view;
  };
}

bool PrepHTMLsave(DataProgram& dp, const std::string& chosenPath, int selectionOnly) {
  return PrepHTMLsave(dp, chosenPath, selectionOnly, DefaultHtmlAlignmentSource(dp));
}
