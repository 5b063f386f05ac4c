// Arithmetic expressions as the user types them: "2+3*4", "(1.5 - 4) ^ 2 / 3", "-7 % 3".
// Operators, lowest precedence first: + and -; *, / and %; unary minus and plus; ^ (power,
// right-associative, binding tighter than unary minus, so -2^2 is -4). Parentheses nest.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvantile::support {

// The value of text when it is an arithmetic expression with at least one operator between
// two operands and a finite result; nullopt for anything else (a lone number, words, an
// unbalanced or overlong text, a division by zero).
std::optional<double> evaluate_expression(std::string_view text);

// The value as the user reads it: up to 12 significant digits, no trailing zeros, "0" for -0.
std::string format_number(double value);

} // namespace corvantile::support
