#include "support/expression.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace corvantile::support {
namespace {

constexpr std::size_t kMaxLength = 512;
constexpr int kMaxDepth = 64;

// A recursive-descent parser; any error makes the whole text no expression.
class Parser {
public:
    explicit Parser(std::string_view text) : m_text(text) {}

    std::optional<double> parse() {
        const std::optional<double> value = expression(0);
        skipBlanks();
        if (!value || m_pos != m_text.size() || m_binaryOperators == 0 || !std::isfinite(*value))
            return std::nullopt;
        return *value;
    }

private:
    void skipBlanks() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t'))
            ++m_pos;
    }

    // The next non-blank character, or 0 at the end.
    char peek() {
        skipBlanks();
        return m_pos < m_text.size() ? m_text[m_pos] : '\0';
    }

    std::optional<double> expression(int depth) {
        if (depth > kMaxDepth)
            return std::nullopt;
        std::optional<double> left = term(depth);
        while (left) {
            const char op = peek();
            if (op != '+' && op != '-')
                break;
            ++m_pos;
            ++m_binaryOperators;
            const std::optional<double> right = term(depth);
            if (!right)
                return std::nullopt;
            left = op == '+' ? *left + *right : *left - *right;
        }
        return left;
    }

    std::optional<double> term(int depth) {
        std::optional<double> left = unary(depth);
        while (left) {
            const char op = peek();
            if (op != '*' && op != '/' && op != '%')
                break;
            ++m_pos;
            ++m_binaryOperators;
            const std::optional<double> right = unary(depth);
            if (!right)
                return std::nullopt;
            if (op == '*') {
                left = *left * *right;
            } else if (*right == 0.0) {
                return std::nullopt;
            } else {
                left = op == '/' ? *left / *right : std::fmod(*left, *right);
            }
        }
        return left;
    }

    std::optional<double> unary(int depth) {
        if (depth > kMaxDepth)
            return std::nullopt;
        const char sign = peek();
        if (sign == '-' || sign == '+') {
            ++m_pos;
            const std::optional<double> operand = unary(depth + 1);
            if (!operand)
                return std::nullopt;
            return sign == '-' ? -*operand : *operand;
        }
        return power(depth);
    }

    std::optional<double> power(int depth) {
        const std::optional<double> base = primary(depth);
        if (!base || peek() != '^')
            return base;
        ++m_pos;
        ++m_binaryOperators;
        const std::optional<double> exponent = unary(depth + 1);
        if (!exponent)
            return std::nullopt;
        const double value = std::pow(*base, *exponent);
        if (!std::isfinite(value))
            return std::nullopt;
        return value;
    }

    std::optional<double> primary(int depth) {
        const char next = peek();
        if (next == '(') {
            ++m_pos;
            const std::optional<double> inner = expression(depth + 1);
            if (!inner || peek() != ')')
                return std::nullopt;
            ++m_pos;
            return inner;
        }
        return number();
    }

    // Digits with at most one decimal point: "12", "3.5", ".5", "7.".
    std::optional<double> number() {
        const std::size_t start = m_pos;
        int digits = 0;
        bool point = false;
        while (m_pos < m_text.size()) {
            const char ch = m_text[m_pos];
            if (ch >= '0' && ch <= '9') {
                ++digits;
            } else if (ch == '.' && !point) {
                point = true;
            } else {
                break;
            }
            ++m_pos;
        }
        if (digits == 0)
            return std::nullopt;
        const std::string literal(m_text.substr(start, m_pos - start));
        return std::strtod(literal.c_str(), nullptr);
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_binaryOperators = 0;
};

} // namespace

std::optional<double> evaluate_expression(std::string_view text) {
    if (text.empty() || text.size() > kMaxLength)
        return std::nullopt;
    return Parser(text).parse();
}

std::string format_number(double value) {
    if (value == 0.0)
        return "0";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.12g", value);
    return buffer;
}

} // namespace corvantile::support
