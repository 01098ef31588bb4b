// Percent-encoding of names and form values for URLs and links.
#pragma once
#include <string>
#include <string_view>

// Percent-encodes every byte outside letters, digits and "-._~".
std::string PercentEncode(std::string_view text);
