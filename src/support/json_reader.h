// A small JSON reader for the browsers' bookmark files. It builds a tree of values, refuses
// anything that is not well-formed JSON (nullopt), and stays bounded on hostile input: nesting
// is limited and the text is read once, without recursion on long arrays.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvantile::support {

class JsonValue {
public:
    enum class Type { Null, Bool, Number, String, Array, Object };

    // Defined where JsonValue is complete, as the members hold values of their own type.
    JsonValue();
    JsonValue(const JsonValue&);
    JsonValue(JsonValue&&) noexcept;
    JsonValue& operator=(const JsonValue&);
    JsonValue& operator=(JsonValue&&) noexcept;
    ~JsonValue();

    Type type = Type::Null;
    bool boolean = false;
    double number = 0;
    std::string text;                                       // a string's UTF-8 value
    std::vector<JsonValue> items;                           // an array's values
    std::vector<std::pair<std::string, JsonValue>> members; // an object's members, in order

    bool is_object() const { return type == Type::Object; }
    bool is_array() const { return type == Type::Array; }
    bool is_string() const { return type == Type::String; }

    // The first member of that name of an object, or null.
    const JsonValue* find(std::string_view name) const;
    // The string value of a member, or empty when it is missing or no string.
    std::string_view string_of(std::string_view name) const;
};

// Nesting deeper than this is refused.
inline constexpr int kMaxJsonDepth = 200;

// The value of a whole JSON text (UTF-8, an optional byte-order mark allowed), or nullopt.
std::optional<JsonValue> parse_json(std::string_view text);

} // namespace corvantile::support
