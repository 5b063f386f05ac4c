// Arithmetic expressions typed as queries.
#include <gtest/gtest.h>

#include <string>

#include "support/expression.h"

using corvantile::support::evaluate_expression;
using corvantile::support::format_number;

namespace {

std::string valueOf(const char* text) {
    const auto value = evaluate_expression(text);
    return value ? format_number(*value) : "none";
}

TEST(Calculator, PrecedenceAndAssociativity) {
    EXPECT_EQ(valueOf("2+3*4"), "14");
    EXPECT_EQ(valueOf("(2+3)*4"), "20");
    EXPECT_EQ(valueOf("10-4-3"), "3");
    EXPECT_EQ(valueOf("64/4/2"), "8");
    EXPECT_EQ(valueOf("2^3^2"), "512");
    EXPECT_EQ(valueOf("-2^2"), "-4");
    EXPECT_EQ(valueOf("(-2)^2"), "4");
    EXPECT_EQ(valueOf("2^-1"), "0.5");
    EXPECT_EQ(valueOf("17 % 5 * 2"), "4");
    EXPECT_EQ(valueOf("-7 % 3"), "-1");
    EXPECT_EQ(valueOf("3 - -2"), "5");
    EXPECT_EQ(valueOf("+4 * -(1+1)"), "-8");
}

TEST(Calculator, DecimalsAndFormatting) {
    EXPECT_EQ(valueOf("1.5 + .25"), "1.75");
    EXPECT_EQ(valueOf("10/4"), "2.5");
    EXPECT_EQ(valueOf("1/3"), "0.333333333333");
    EXPECT_EQ(valueOf("0.1+0.2"), "0.3");
    EXPECT_EQ(valueOf("7. * 2"), "14");
    EXPECT_EQ(valueOf("0 * -5"), "0");
    EXPECT_EQ(valueOf("  ( 1 + 2 )  *3 "), "9");
}

TEST(Calculator, TextThatIsNoExpressionGivesNothing) {
    for (const char* text :
         {"",       "   ",    "42",    "-5",          "(3)",         "hello", "2+",  "*3",
          "2 3",    "1..2+1", "(1+2",  "1+2)",        "()",          "2**3",  "1/0", "5%0",
          "10^400", "3+x",    "1,5+1", "notepad.exe", "c:\\windows", "1+1=2"})
        EXPECT_EQ(valueOf(text), "none") << '"' << text << '"';
}

TEST(Calculator, HostileInputStaysBounded) {
    const std::string deep = std::string(10000, '(') + "1+1" + std::string(10000, ')');
    EXPECT_EQ(valueOf(deep.c_str()), "none");
    const std::string nested = std::string(30, '(') + "1+1" + std::string(30, ')');
    EXPECT_EQ(valueOf(nested.c_str()), "2");
    std::string minuses(5000, '-');
    minuses += "1+1";
    EXPECT_EQ(valueOf(minuses.c_str()), "none");
    std::string garbage;
    for (int i = 0; i < 400; ++i)
        garbage += static_cast<char>((i * 37) % 256);
    EXPECT_EQ(valueOf(garbage.c_str()), "none");
}

} // namespace
