// Evaluates any text as a calculator expression and checks what the program shows and copies:
// a value is finite, and its display has no trailing zeros, is never "-0", and reads back as
// the value to the 12 digits it shows.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "support/expression.h"

using namespace corvantile::support;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto value = evaluate_expression(text);
    if (!value)
        return 0;
    if (!std::isfinite(*value))
        std::abort();
    const std::string shown = format_number(*value);
    if (shown.empty() || shown == "-0")
        std::abort();
    const std::size_t exponent = shown.find('e');
    const std::string mantissa = shown.substr(0, exponent);
    if (mantissa.find('.') != std::string::npos &&
        (mantissa.back() == '0' || mantissa.back() == '.'))
        std::abort();
    char* end = nullptr;
    const double read = std::strtod(shown.c_str(), &end);
    if (*end != '\0')
        std::abort();
    if (std::isnormal(*value) && std::fabs(read - *value) > std::fabs(*value) * 1e-11)
        std::abort();
    return 0;
}
