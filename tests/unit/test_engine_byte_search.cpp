// The chunked subsequence search against a plain one, over texts of every length around the
// 16-byte chunks, with bytes that the padding of a last chunk could be mistaken for.
#include "core/engine/text/byte_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace corvantile::engine {
namespace {

bool plain_subsequence(std::string_view text, std::string_view word, const ByteAlternates& alt) {
    std::size_t k = 0;
    for (const char c : text) {
        if (k == word.size())
            break;
        const auto wanted = static_cast<unsigned char>(word[k]);
        if (static_cast<unsigned char>(c) == wanted || static_cast<unsigned char>(c) == alt[wanted])
            ++k;
    }
    return k == word.size();
}

TEST(ByteSubsequence, AgreesWithAPlainScanAcrossChunkBoundaries) {
    std::mt19937 random(11);
    const std::string alphabet("abAB/\\\0\xC3\xA9", 9);
    int found = 0, total = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text, word;
        const std::size_t text_size = random() % 50, word_size = 1 + random() % 4;
        for (std::size_t i = 0; i < text_size; ++i)
            text += alphabet[random() % alphabet.size()];
        for (std::size_t i = 0; i < word_size; ++i)
            word += alphabet[random() % alphabet.size()];
        for (const ByteAlternates* alt : {&exact_bytes(), &raw_ascii_folds()}) {
            const bool expected = plain_subsequence(text, word, *alt);
            ASSERT_EQ(byte_subsequence(text, word, *alt), expected)
                << "text of " << text.size() << " bytes, word of " << word.size();
            found += expected;
            ++total;
        }
    }
    // Both outcomes are well represented.
    EXPECT_GT(found, total / 5);
    EXPECT_LT(found, total * 4 / 5);
}

TEST(ByteSubsequence, FoldsRawAsciiOnlyWhenAsked) {
    EXPECT_TRUE(byte_subsequence("C:\\Users\\Docs", "users/docs", raw_ascii_folds()));
    EXPECT_FALSE(byte_subsequence("C:\\Users\\Docs", "users/docs"));
    EXPECT_TRUE(byte_subsequence("c:/users/docs", "users/docs"));
    EXPECT_TRUE(byte_subsequence("anything", ""));
    EXPECT_FALSE(byte_subsequence("", "a"));
    // A NUL awaited at the end of a short text is not found in the chunk's padding.
    EXPECT_FALSE(byte_subsequence("ab", std::string_view("ab\0", 3)));
}

} // namespace
} // namespace corvantile::engine
