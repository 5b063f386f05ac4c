#include "support/json_reader.h"

#include <cstdlib>

namespace corvantile::support {

JsonValue::JsonValue() = default;
JsonValue::JsonValue(const JsonValue&) = default;
JsonValue::JsonValue(JsonValue&&) noexcept = default;
JsonValue& JsonValue::operator=(const JsonValue&) = default;
JsonValue& JsonValue::operator=(JsonValue&&) noexcept = default;
JsonValue::~JsonValue() = default;

const JsonValue* JsonValue::find(std::string_view name) const {
    for (const auto& [key, value] : members) {
        if (key == name)
            return &value;
    }
    return nullptr;
}

std::string_view JsonValue::string_of(std::string_view name) const {
    const JsonValue* value = find(name);
    return value && value->is_string() ? std::string_view(value->text) : std::string_view();
}

namespace {

void appendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

class Reader {
public:
    explicit Reader(std::string_view text) : m_text(text) {}

    std::optional<JsonValue> readDocument() {
        if (m_text.substr(0, 3) == "\xEF\xBB\xBF")
            m_pos = 3;
        JsonValue root;
        if (!readValue(root, 0))
            return std::nullopt;
        skipBlanks();
        if (m_pos != m_text.size())
            return std::nullopt;
        return root;
    }

private:
    void skipBlanks() {
        while (m_pos < m_text.size()) {
            const char ch = m_text[m_pos];
            if (ch != ' ' && ch != '\t' && ch != '\r' && ch != '\n')
                break;
            ++m_pos;
        }
    }

    bool take(char expected) {
        skipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == expected) {
            ++m_pos;
            return true;
        }
        return false;
    }

    bool takeWord(std::string_view word) {
        if (m_text.substr(m_pos, word.size()) != word)
            return false;
        m_pos += word.size();
        return true;
    }

    bool readValue(JsonValue& out, int depth) {
        if (depth > kMaxJsonDepth)
            return false;
        skipBlanks();
        if (m_pos >= m_text.size())
            return false;
        switch (m_text[m_pos]) {
        case '{':
            return readObject(out, depth);
        case '[':
            return readArray(out, depth);
        case '"':
            out.type = JsonValue::Type::String;
            return readString(out.text);
        case 't':
            out.type = JsonValue::Type::Bool;
            out.boolean = true;
            return takeWord("true");
        case 'f':
            out.type = JsonValue::Type::Bool;
            return takeWord("false");
        case 'n':
            return takeWord("null");
        default:
            return readNumber(out);
        }
    }

    bool readObject(JsonValue& out, int depth) {
        out.type = JsonValue::Type::Object;
        ++m_pos; // '{'
        if (take('}'))
            return true;
        do {
            skipBlanks();
            std::string key;
            if (m_pos >= m_text.size() || m_text[m_pos] != '"' || !readString(key) || !take(':'))
                return false;
            out.members.emplace_back(std::move(key), JsonValue());
            if (!readValue(out.members.back().second, depth + 1))
                return false;
        } while (take(','));
        return take('}');
    }

    bool readArray(JsonValue& out, int depth) {
        out.type = JsonValue::Type::Array;
        ++m_pos; // '['
        if (take(']'))
            return true;
        do {
            out.items.emplace_back();
            if (!readValue(out.items.back(), depth + 1))
                return false;
        } while (take(','));
        return take(']');
    }

    bool readHex4(unsigned& value) {
        if (m_pos + 4 > m_text.size())
            return false;
        value = 0;
        for (int i = 0; i < 4; ++i) {
            const char ch = m_text[m_pos++];
            value <<= 4;
            if (ch >= '0' && ch <= '9')
                value |= static_cast<unsigned>(ch - '0');
            else if (ch >= 'a' && ch <= 'f')
                value |= static_cast<unsigned>(ch - 'a' + 10);
            else if (ch >= 'A' && ch <= 'F')
                value |= static_cast<unsigned>(ch - 'A' + 10);
            else
                return false;
        }
        return true;
    }

    bool readEscape(std::string& out) {
        if (m_pos >= m_text.size())
            return false;
        const char ch = m_text[m_pos++];
        switch (ch) {
        case '"':
        case '\\':
        case '/':
            out += ch;
            return true;
        case 'b':
            out += '\b';
            return true;
        case 'f':
            out += '\f';
            return true;
        case 'n':
            out += '\n';
            return true;
        case 'r':
            out += '\r';
            return true;
        case 't':
            out += '\t';
            return true;
        case 'u':
            break;
        default:
            return false;
        }
        unsigned cp = 0;
        if (!readHex4(cp))
            return false;
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            // A high surrogate must be followed by an escaped low one; alone it becomes U+FFFD.
            unsigned low = 0;
            const std::size_t mark = m_pos;
            if (takeWord("\\u") && readHex4(low) && low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            } else {
                m_pos = mark;
                cp = 0xFFFD;
            }
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        appendUtf8(out, cp);
        return true;
    }

    bool readString(std::string& out) {
        ++m_pos; // opening quote
        while (m_pos < m_text.size()) {
            const char ch = m_text[m_pos++];
            if (ch == '"')
                return true;
            if (ch == '\\') {
                if (!readEscape(out))
                    return false;
            } else if (static_cast<unsigned char>(ch) < 0x20) {
                return false;
            } else {
                out += ch;
            }
        }
        return false;
    }

    bool readNumber(JsonValue& out) {
        const std::size_t start = m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == '-')
            ++m_pos;
        const std::size_t digitsStart = m_pos;
        while (m_pos < m_text.size() && isNumberChar(m_text[m_pos]))
            ++m_pos;
        if (m_pos == digitsStart || !isDigit(m_text[digitsStart]))
            return false;
        const std::string literal(m_text.substr(start, m_pos - start));
        char* end = nullptr;
        out.type = JsonValue::Type::Number;
        out.number = std::strtod(literal.c_str(), &end);
        return end == literal.c_str() + literal.size();
    }

    static bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }
    static bool isNumberChar(char ch) {
        return isDigit(ch) || ch == '.' || ch == 'e' || ch == 'E' || ch == '+' || ch == '-';
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

} // namespace

std::optional<JsonValue> parse_json(std::string_view text) {
    return Reader(text).readDocument();
}

} // namespace corvantile::support
