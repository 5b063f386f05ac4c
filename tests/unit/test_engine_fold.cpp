// Case and accent folding, UTF-8 decoding and character masks.
#include "core/engine/text/text_fold.h"

#include <gtest/gtest.h>

#include <string>

namespace corvantile::engine {
namespace {

std::size_t code_points(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++count)
        decode_utf8(text, pos);
    return count;
}

TEST(FoldText, AccentsFoldToAsciiAndEveryScriptToLowerCase) {
    EXPECT_EQ(folded("Café Crème"), "cafe creme");
    EXPECT_EQ(folded("ÀÉÎÕÜÇÑÝ àéîõüçñýÿ"), "aeioucny aeioucnyy");
    EXPECT_EQ(folded("Łódź Kraków Ostrava Šťastný Ærø"), "lodz krakow ostrava stastny æro");
    EXPECT_EQ(folded("İstanbul ĞÜŞ"), "istanbul gus");
    EXPECT_EQ(folded("Straße"), "straße") << "letters without a plain form stay";
    EXPECT_EQ(folded("ΑΘΗΝΑ Ἀ"), "αθηνα Ἀ");
    EXPECT_EQ(folded("Ελλάδα ΌΡΟΣ"), "ελλαδα οροσ");
    EXPECT_EQ(folded("ΣΟΦΟΣ σοφος"), "σοφοσ σοφοσ") << "final sigma folds too";
    EXPECT_EQ(folded("МОСКВА Ёлка Київ"), "москва елка київ");
    EXPECT_EQ(folded("日本語"), "日本語");
}

TEST(FoldAscii, WordAtATimeAgreesWithCharacterAtATime) {
    // Long enough for the eight-bytes-at-once path, with every ASCII byte.
    std::string all, expected;
    for (int c = 1; c < 128; ++c) {
        all.push_back(char(c));
        const char lower = c >= 'A' && c <= 'Z' ? char(c + 32) : char(c);
        expected.push_back(c == '\\' ? '/' : lower);
    }
    EXPECT_EQ(folded(all + all), expected + expected);
    EXPECT_EQ(folded("C:\\Program Files\\App\\APP.EXE"), "c:/program files/app/app.exe");
}

TEST(FoldAscii, EveryLengthAndEveryPlaceOfAnAccentAgree) {
    // Chunked folding ends on an overlapping chunk or byte by byte, and gives up on the chunks
    // at the first non-ASCII byte: every length and place of that byte must fold the same.
    const std::string pattern = "Ab\\Z/y.9_QrStUvWxYz-0";
    for (std::size_t length = 0; length <= 48; ++length) {
        std::string ascii;
        for (std::size_t i = 0; i < length; ++i)
            ascii.push_back(pattern[i % pattern.size()]);
        for (std::size_t accent = 0; accent <= length; ++accent) {
            std::string text = ascii;
            if (accent < length)
                text.replace(accent, 1, "\xC3\x89"); // "É"
            std::string expected;
            for (std::size_t pos = 0; pos < text.size();)
                append_utf8(expected, fold_code_point(decode_utf8(text, pos)));
            std::string out = "prefix";
            bool same = false;
            const std::uint32_t mask = fold_and_mask(text, out, same);
            ASSERT_EQ(out, "prefix" + expected) << length << " " << accent;
            EXPECT_EQ(mask, char_mask(expected));
            EXPECT_EQ(same, is_folded(text));
        }
    }
    std::string lower = "already folded text: c:/users/docs";
    bool same = false;
    std::string out;
    fold_append(lower, out, same);
    EXPECT_TRUE(same);
}

TEST(FoldStructure, EachCodePointFoldsToOne) {
    std::string text;
    for (char32_t cp = 0x20; cp < 0x600; ++cp)
        append_utf8(text, cp);
    EXPECT_EQ(code_points(folded(text)), code_points(text));
}

TEST(FoldCaseSensitive, StripAccentsKeepsCase) {
    EXPECT_EQ(strip_accents(U'É'), U'E');
    EXPECT_EQ(strip_accents(U'é'), U'e');
    EXPECT_EQ(strip_accents(U'Ł'), U'L');
    EXPECT_EQ(strip_accents(U'Ά'), U'Α');
    EXPECT_EQ(strip_accents(U'Ё'), U'Е');
    EXPECT_EQ(strip_accents(U'Q'), U'Q');
    EXPECT_TRUE(is_upper_case(U'Ж'));
    EXPECT_FALSE(is_upper_case(U'ж'));
}

TEST(FoldBadInput, MalformedUtf8BecomesReplacementCharacters) {
    // A stray continuation byte, a truncated sequence, an overlong form and a surrogate.
    const std::string bad = "a\x80"
                            "b\xC3"
                            "c\xC0\xAF"
                            "d\xED\xA0\x80";
    std::size_t pos = 0;
    std::u32string decoded;
    while (pos < bad.size())
        decoded.push_back(decode_utf8(bad, pos));
    EXPECT_EQ(decoded, U"a\uFFFDb\uFFFDc\uFFFD\uFFFDd\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(folded(bad), "a\uFFFDb\uFFFDc\uFFFD\uFFFDd\uFFFD\uFFFD\uFFFD");
    std::string out;
    append_utf8(out, 0xD800);
    append_utf8(out, 0x110000);
    EXPECT_EQ(out, "\uFFFD\uFFFD");
}

TEST(FoldMasks, MaskHoldsEveryByteClass) {
    EXPECT_EQ(char_mask("abc"), mask_bit('a') | mask_bit('b') | mask_bit('c'));
    EXPECT_EQ(char_mask("a b"), char_mask("ab")) << "spaces set no bit";
    // "mp3" must not let through every path with some other digit in it.
    for (const char digit : std::string_view("0123456789"))
        if (digit != '3') {
            EXPECT_NE(mask_bit('3'), mask_bit(static_cast<unsigned char>(digit))) << digit;
        }
    EXPECT_EQ(mask_bit('/'), kSeparatorMaskBit);
    EXPECT_NE(char_mask("é"), 0u);
    // A word can only be a subsequence of a text whose mask holds the word's.
    const std::uint32_t text = char_mask(folded("Visual Studio Code.lnk"));
    EXPECT_EQ(char_mask("vsc") & ~text, 0u);
    EXPECT_NE(char_mask("vsq") & ~text, 0u);
}

} // namespace
} // namespace corvantile::engine
