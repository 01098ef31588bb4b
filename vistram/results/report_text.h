// Small text helpers shared by the BLAST and FASTA report readers: case,
// HTML tags, words and the numbers that reports print.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "vistram/base/text_scan.h"

namespace report_text {

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

namespace detail {
struct SpaceTable {
  bool map[256];
  constexpr SpaceTable() : map() {
    for (char c : {' ', '\t', '\n', '\v', '\f', '\r'}) map[static_cast<unsigned char>(c)] = true;
  }
};
inline constexpr SpaceTable kSpace{};
}  // namespace detail

// The white space of formatted input (blank, tab, line ends, vertical tab,
// form feed), one lookup per byte: the readers skip it on every line.
inline bool IsSpace(char c) { return detail::kSpace.map[static_cast<unsigned char>(c)]; }
inline char Upper(char c) { return text_scan_detail::UpperOf(static_cast<unsigned char>(c)); }
inline char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Copies the NUL-terminated src into dst in ASCII upper case (dst as large
// as src; it may be src); returns the length.
std::size_t UpperInto(const char* src, char* dst);
// `text` in ASCII upper case.
std::string UpperOf(std::string_view text);

// The first word at or after `from` (blanks and tabs skipped), cut at a
// blank or a tab.
std::string_view WordAfter(std::string_view line, std::size_t from);

// The characters of text[from..] outside tags ('<' to the next '>'), in a
// buffer of the calling thread, valid until its next call.
std::string_view TextOutsideTags(std::string_view text, std::size_t from = 0);

// Copies the NUL-terminated src without its HTML tags into dst (`size`
// bytes, cut to fit), decoding "&gt;", "&lt;" and "&amp;" in either case.
void StripTags(const char* src, char* dst, std::size_t size);

// A number as reports print it, read like the standard text-to-double
// conversion in the C locale (leading white space, a sign, decimal,
// hexadecimal, "inf" or "nan"; reading stops where a number cannot go on)
// from the first 63 characters; -1.0 when there is none. Decimal numbers are
// read without the user's locale, so a decimal comma never cuts "0.5" to 0.
// An exponent without a mantissa, as old BLAST versions print the smallest
// expect values ("e-175"), stands for 1e-175.
double ReadReportNumber(std::string_view text);

}  // namespace report_text
