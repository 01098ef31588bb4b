// The colours of an alignment in the pairwise view and the HTML report: each
// column of the query, match and subject lines takes the colours of the
// colour code (base/colours.h).
#pragma once
#include <string>

#include "vistram/base/colours.h"

struct VisualHaspData;

// Fills the six colour arrays of `view` for colour code `code`.
// A residue letter of either case takes the colours of its upper-case letter.
void AssignColours(const ColourConfiguration& colours, int code, VisualHaspData& view);
// Reads the configuration of `code` and assigns it to `view`.
void AssignColorForAA(const std::string& configPath, int code, bool useBackground, VisualHaspData& view);
