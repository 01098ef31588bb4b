// The form body the workbench posts: numbers read from it, its fields
// decoded for the local runs, and the encoding of values the helper adds.
#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vistram/base/percent_encode.h"

// The decimal value of a body field: the text from one character after the
// first occurrence of `field` up to the next '&' (its leading digits, 0 when
// there are none). `defaultValue` when the name is absent or no '&' follows.
int ReadBodyNumber(std::string_view body, std::string_view field, int defaultValue);
// The ALIGNMENTS field, 250 by default; the DESCRIPTIONS field, 100 by default.
int ReadAlignmentsNumber(std::string_view body);
int ReadDescriptionsNumber(std::string_view body);

using FormFields = std::vector<std::pair<std::string, std::string>>;
// Splits a form body at '&' into name/value pairs, turning '+' into a blank
// and "%XX" into its byte in both. A ClustalW post file starts with a header
// segment ending in "||"; that segment is skipped.
FormFields DecodeForm(std::string_view body);
// The value of the first field whose name matches one of `names` without
// regard to case, '_' and '-'; empty when there is none.
std::string FindField(const FormFields& fields, std::initializer_list<std::string_view> names);

// True when `text` holds `word` in any case.
bool ContainsNoCase(std::string_view text, std::string_view word);
