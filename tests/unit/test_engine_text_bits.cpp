// The bit-parallel screen of a text: it must find a word exactly when the word is a
// subsequence, over every length the bits cover, and never promise less than the matcher
// then finds. (That its bounds never exclude an item that ranks is checked in
// test_engine_bounds.cpp, through the matcher.)
#include "core/engine/match/text_bits.h"
#include "core/engine/text/text_fold.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace corvantile::engine {
namespace {

BitWord bit_word(const std::string& folded_word) {
    return {reinterpret_cast<const unsigned char*>(folded_word.data()), folded_word.size()};
}

bool is_subsequence(const std::string& word, const std::string& text) {
    std::size_t i = 0;
    for (const char c : text)
        if (i < word.size() && c == word[i])
            ++i;
    return i == word.size();
}

template <class Bits> void check_finds_exactly_subsequences() {
    std::mt19937 random(7);
    const std::string alphabet = "abcAB/\\_. 1";
    TextBits<Bits> bits;
    const std::size_t most = TextBits<Bits>::kMaxSize;
    int found = 0;
    for (int n = 0; n < 20000; ++n) {
        // Lengths around the chunk and half boundaries matter most.
        static const std::size_t kLengths[] = {0, 1, 15, 16, 17, 63, 64, 65, 100, 127, 128};
        std::size_t length = n % 2 ? kLengths[random() % 11] : random() % (most + 1);
        length = std::min(length, most);
        std::string text;
        for (std::size_t i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
        std::string word;
        for (std::size_t i = 0, size = 1 + random() % 5; i < size; ++i)
            word += "abc/1_"[random() % 6];
        ASSERT_TRUE(bits.load(text));
        const bool expected = is_subsequence(word, folded(text));
        EXPECT_EQ(bits.reach(bit_word(word)).found, expected)
            << "word '" << word << "' text '" << text << "'";
        found += expected;
    }
    EXPECT_GT(found, 2000);
}

TEST(TextBits, FindsAWordExactlyWhenItIsASubsequenceAtEveryLength) {
    check_finds_exactly_subsequences<std::uint64_t>();
    if (kHaveTextBits)
        check_finds_exactly_subsequences<PositionBits>();
}

TEST(TextBits, CountsCodePointsInTextsThatAreNotAscii) {
    LongTextBits bits;
    EXPECT_FALSE(bits.load(std::string(LongTextBits::kMaxSize + 1, 'a')));
    EXPECT_TRUE(bits.load(std::string(LongTextBits::kMaxSize, 'a')));
    EXPECT_TRUE(bits.reach(bit_word("aaa")).found);
    EXPECT_FALSE(bits.reach(bit_word("b")).found);
    // Accents fold away; other letters match no query character.
    ASSERT_TRUE(bits.load("Caf\xC3\xA9 \xD0\x96ournal"));
    EXPECT_TRUE(bits.reach(bit_word("cafe")).found);
    EXPECT_EQ(bits.reach(bit_word("cafe")).tier, MatchTier::WordStart);
    EXPECT_TRUE(bits.reach(bit_word("eo")).found);
    EXPECT_FALSE(bits.reach(bit_word("zh")).found);
    // Many bytes, few code points.
    std::string wide;
    for (std::size_t i = 0; i < LongTextBits::kMaxSize; ++i)
        wide += "\xC3\xA9";
    EXPECT_TRUE(bits.load(wide));
    EXPECT_FALSE(bits.load(wide + "x"));
}

TEST(TextBits, TellsTheBestKindOfMatch) {
    if (!kHaveTextBits)
        GTEST_SKIP() << "no 128-bit integers on this compiler";
    LongTextBits bits;
    ASSERT_TRUE(bits.load("Visual Studio Code"));
    EXPECT_EQ(bits.reach(bit_word("stu")).tier, MatchTier::WordStart);
    EXPECT_EQ(bits.reach(bit_word("vsc")).tier, MatchTier::Acronym);
    EXPECT_EQ(bits.reach(bit_word("isu")).tier, MatchTier::Scattered);
    // Camel humps, digits and path separators begin words too.
    ASSERT_TRUE(bits.load("C:\\Tools\\myReport2024.txt"));
    EXPECT_EQ(bits.reach(bit_word("rep")).tier, MatchTier::WordStart);
    EXPECT_EQ(bits.reach(bit_word("2024")).tier, MatchTier::WordStart);
    EXPECT_EQ(bits.reach(bit_word("tools/my")).tier, MatchTier::WordStart);
    EXPECT_EQ(bits.reach(bit_word("ctr")).tier, MatchTier::Acronym);
}

} // namespace
} // namespace corvantile::engine
