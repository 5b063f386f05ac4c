// Splitting text into tokens at delimiter characters, and trimming blanks off text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvantile::support {

// Splits text at every occurrence of any character of delimiters (UTF-8 characters, not
// bytes) and returns all tokens in order. Empty tokens are kept: "a..b" gives "a", "", "b" and
// "1.2." gives "1", "2", "". An empty text gives no token; empty delimiters give the whole text.
std::vector<std::string> split_tokens(std::string_view text, std::string_view delimiters);

// The text without the spaces, tabs and line breaks at its ends.
std::string_view trim_blanks(std::string_view text);

} // namespace corvantile::support
