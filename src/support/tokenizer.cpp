#include "support/tokenizer.h"

#include <algorithm>
#include <array>

namespace corvantile::support {

namespace {

// Length of the UTF-8 character at pos: its full sequence when well formed, else one byte.
std::size_t char_length(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length == 1 || text.size() - pos < length)
        return 1;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80)
            return 1;
    }
    return length;
}

} // namespace

std::vector<std::string> split_tokens(std::string_view text, std::string_view delimiters) {
    std::vector<std::string> tokens;
    if (text.empty())
        return tokens;

    std::array<bool, 256> single{};
    std::vector<std::string_view> multi;
    for (std::size_t pos = 0; pos < delimiters.size();) {
        const std::size_t length = char_length(delimiters, pos);
        if (length == 1)
            single[static_cast<unsigned char>(delimiters[pos])] = true;
        else
            multi.push_back(delimiters.substr(pos, length));
        pos += length;
    }

    std::size_t start = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = char_length(text, pos);
        const std::string_view current = text.substr(pos, length);
        const bool delimiter = length == 1
                                   ? single[static_cast<unsigned char>(text[pos])]
                                   : std::find(multi.begin(), multi.end(), current) != multi.end();
        pos += length;
        if (delimiter) {
            tokens.emplace_back(text.substr(start, pos - length - start));
            start = pos;
        }
    }
    tokens.emplace_back(text.substr(start));
    return tokens;
}

std::string_view trim_blanks(std::string_view text) {
    const auto blank = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace corvantile::support
