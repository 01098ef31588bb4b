// The two text filters every request builder applies to what it sends: the
// letters-only sequence filter and the form encoder of the post bodies.
#pragma once
#include <string>
#include <string_view>

// Only the letters (A-Z, a-z) of `text`, in their order: digits, blanks,
// line ends, '*' and '-' are left out.
std::string ConvertToSeqOnly(std::string_view text);

// The form-encoded copy of `text`, at most three times its length:
// - letters, digits, '=', '%' and '&' are copied (the conversion ends when
//   one no longer fits);
// - a line feed becomes "%0D%0A", a blank "+", '(' "%28", ')' "%29",
//   '+' "%2b", '-' "%2d", '<' "%3C", '>' "%3E", '_' "%5F", '|' "%7C" (the
//   lower-case letters of "%2b" and "%2d" are the encoding the servers were
//   written for); a translation that no longer fits is skipped and the
//   conversion goes on;
// - every other character (full stop, comma, colon, slash, asterisk,
//   carriage return, ...) is dropped.
std::string ConvertToMimeName(std::string_view text);
