#include "support/prefs_xml.h"

#include <array>
#include <set>

namespace corvantile::support {

namespace {

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
constexpr std::string_view kHexSuffix = "-hex";

// Decodes one UTF-8 sequence at pos and advances past it; nullopt for a malformed, overlong,
// surrogate or out-of-range sequence.
std::optional<char32_t> decode_utf8(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 1;
    char32_t code = lead;
    char32_t minimum = 0;
    if (lead >= 0x80) {
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, code = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, code = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, code = lead & 0x07, minimum = 0x10000;
        } else {
            return std::nullopt;
        }
    }
    if (text.size() - pos < length)
        return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt;
    pos += length;
    return code;
}

void append_utf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The characters an XML 1.0 document may contain at all.
bool is_xml_char(char32_t code) {
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
           (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

// True when text is valid UTF-8 made only of XML characters.
bool is_xml_text(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const auto code = decode_utf8(text, pos);
        if (!code || !is_xml_char(*code))
            return false;
    }
    return true;
}

bool is_space(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r';
}

bool is_name_char(char ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
           ch == '-' || ch == '_' || ch == '.' || ch == ':';
}

int hex_digit(char ch) {
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

std::optional<std::string> decode_hex(std::string_view hex) {
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = hex_digit(hex[i]);
        const int low = hex_digit(hex[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

// ---- Reading ----

struct Attribute {
    std::string_view name;
    std::string value;
};

class Reader {
public:
    explicit Reader(std::string_view text) : m_text(text) {}

    bool read_document(PrefsNode& document) {
        if (m_text.starts_with("\xEF\xBB\xBF"))
            m_pos = 3;
        if (m_text.substr(m_pos).starts_with("<?xml") && m_text.size() > m_pos + 5 &&
            is_space(m_text[m_pos + 5]) && !skip_past("?>"))
            return false;
        if (!skip_misc() || !skip("<preferences"))
            return false;
        std::vector<Attribute> attributes;
        bool empty = false;
        if (!read_attributes(attributes, empty))
            return false;
        if (!empty && !read_content(document, "preferences", 0))
            return false;
        return skip_misc() && m_pos == m_text.size();
    }

private:
    bool skip(std::string_view expected) {
        if (!m_text.substr(m_pos).starts_with(expected))
            return false;
        m_pos += expected.size();
        return true;
    }

    bool skip_past(std::string_view terminator) {
        const std::size_t found = m_text.find(terminator, m_pos);
        if (found == std::string_view::npos)
            return false;
        m_pos = found + terminator.size();
        return true;
    }

    bool skip_space() {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && is_space(m_text[m_pos]))
            ++m_pos;
        return m_pos > start;
    }

    // Blanks and comments; false only for an unterminated comment.
    bool skip_misc() {
        for (;;) {
            skip_space();
            if (!skip("<!--"))
                return true;
            if (!skip_past("-->"))
                return false;
        }
    }

    std::string_view read_name() {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && is_name_char(m_text[m_pos]))
            ++m_pos;
        return m_text.substr(start, m_pos - start);
    }

    // Attributes up to and including ">" or "/>"; empty tells which one ended the tag.
    bool read_attributes(std::vector<Attribute>& attributes, bool& empty) {
        std::set<std::string_view> seen;
        for (;;) {
            const bool spaced = skip_space();
            if (skip(">")) {
                empty = false;
                return true;
            }
            if (skip("/>")) {
                empty = true;
                return true;
            }
            const std::string_view name = read_name();
            if (!spaced || name.empty() || !seen.insert(name).second)
                return false;
            skip_space();
            if (!skip("="))
                return false;
            skip_space();
            if (m_pos >= m_text.size() || (m_text[m_pos] != '"' && m_text[m_pos] != '\''))
                return false;
            const char quote = m_text[m_pos++];
            const std::size_t end = m_text.find(quote, m_pos);
            if (end == std::string_view::npos)
                return false;
            auto value = decode_attribute(m_text.substr(m_pos, end - m_pos));
            if (!value)
                return false;
            attributes.push_back({name, std::move(*value)});
            m_pos = end + 1;
        }
    }

    // Expands references and normalises literal line ends and tabs to spaces, as XML does.
    static std::optional<std::string> decode_attribute(std::string_view raw) {
        std::string value;
        value.reserve(raw.size());
        for (std::size_t i = 0; i < raw.size(); ++i) {
            const char ch = raw[i];
            if (ch == '<')
                return std::nullopt;
            if (ch == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')
                continue;
            if (ch == '\t' || ch == '\n' || ch == '\r') {
                value += ' ';
                continue;
            }
            if (ch != '&') {
                value += ch;
                continue;
            }
            const std::size_t end = raw.find(';', i);
            if (end == std::string_view::npos)
                return std::nullopt;
            const auto code = decode_reference(raw.substr(i + 1, end - i - 1));
            if (!code)
                return std::nullopt;
            append_utf8(value, *code);
            i = end;
        }
        return value;
    }

    static std::optional<char32_t> decode_reference(std::string_view name) {
        static constexpr std::array<std::pair<std::string_view, char32_t>, 5> named{
            {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}}};
        for (const auto& [entity, code] : named) {
            if (name == entity)
                return code;
        }
        if (name.size() < 2 || name[0] != '#')
            return std::nullopt;
        const bool hex = name[1] == 'x';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 8)
            return std::nullopt;
        char32_t code = 0;
        for (const char ch : digits) {
            const int digit = hex_digit(ch);
            if (digit < 0 || (!hex && digit > 9))
                return std::nullopt;
            code = code * (hex ? 16 : 10) + static_cast<char32_t>(digit);
        }
        if (!is_xml_char(code))
            return std::nullopt;
        return code;
    }

    // The string of attribute `name` or of its "-hex" form (exactly one of them must be there).
    static std::optional<std::string> text_attribute(std::vector<Attribute>& attributes,
                                                     std::string_view name) {
        std::optional<std::string> found;
        for (auto& attribute : attributes) {
            if (attribute.name == name) {
                if (found)
                    return std::nullopt;
                found = std::move(attribute.value);
            } else if (attribute.name.size() == name.size() + kHexSuffix.size() &&
                       attribute.name.starts_with(name) && attribute.name.ends_with(kHexSuffix)) {
                if (found)
                    return std::nullopt;
                found = decode_hex(attribute.value);
                if (!found)
                    return std::nullopt;
            }
        }
        return found;
    }

    // The inside of an element up to and including its end tag: parameters, nodes, comments.
    bool read_content(PrefsNode& node, std::string_view element, std::size_t depth) {
        for (;;) {
            if (!skip_misc())
                return false;
            if (skip("</")) {
                if (read_name() != element)
                    return false;
                skip_space();
                return skip(">");
            }
            if (!skip("<"))
                return false;
            const std::string_view child = read_name();
            std::vector<Attribute> attributes;
            bool empty = false;
            if (!read_attributes(attributes, empty))
                return false;
            if (child == "param") {
                auto key = text_attribute(attributes, "key");
                auto value = text_attribute(attributes, "value");
                if (!key || !value)
                    return false;
                node.set_param(*key, *value);
                // A parameter written with an end tag may hold nothing but blanks and comments.
                if (!empty && !(skip_misc() && skip("</param") && (skip_space(), skip(">"))))
                    return false;
            } else if (child == "node") {
                auto name = text_attribute(attributes, "name");
                if (!name || depth + 1 > kPrefsMaxDepth)
                    return false;
                PrefsNode& added = node.add_child(std::move(*name));
                if (!empty && !read_content(added, "node", depth + 1))
                    return false;
            } else {
                return false;
            }
        }
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

// ---- Writing ----

void append_escaped(std::string& out, std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t code = *decode_utf8(text, pos);
        switch (code) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            if (code < 0x20 || (code >= 0x7F && code <= 0x9F)) {
                out += "&#";
                out += std::to_string(static_cast<unsigned>(code));
                out += ';';
            } else {
                out.append(text.substr(start, pos - start));
            }
        }
    }
}

void append_attribute(std::string& out, std::string_view name, std::string_view value) {
    out += ' ';
    out += name;
    if (is_xml_text(value)) {
        out += "=\"";
        append_escaped(out, value);
    } else {
        static constexpr char kDigits[] = "0123456789abcdef";
        out += kHexSuffix;
        out += "=\"";
        for (const char ch : value) {
            out += kDigits[static_cast<unsigned char>(ch) >> 4];
            out += kDigits[static_cast<unsigned char>(ch) & 0xF];
        }
    }
    out += '"';
}

void append_content(std::string& out, const PrefsNode& node, std::size_t indent);

void append_node(std::string& out, const PrefsNode& node, std::size_t indent) {
    out.append(indent, ' ');
    out += "<node";
    append_attribute(out, "name", node.name());
    if (node.params().empty() && node.children().empty()) {
        out += "/>\n";
        return;
    }
    out += ">\n";
    append_content(out, node, indent + 2);
    out.append(indent, ' ');
    out += "</node>\n";
}

void append_content(std::string& out, const PrefsNode& node, std::size_t indent) {
    for (const auto& param : node.params()) {
        out.append(indent, ' ');
        out += "<param";
        append_attribute(out, "key", param.key);
        append_attribute(out, "value", param.value);
        out += "/>\n";
    }
    for (const auto& child : node.children())
        append_node(out, *child, indent);
}

std::optional<std::string> finish(std::string text) {
    if (text.size() > kPrefsMaxBytes)
        return std::nullopt;
    return text;
}

} // namespace

bool read_prefs_xml(std::string_view text, PrefsNode& document) {
    document.clear();
    if (text.size() > kPrefsMaxBytes || !is_xml_text(text))
        return false;
    if (Reader(text).read_document(document))
        return true;
    document.clear();
    return false;
}

std::optional<std::string> write_prefs_xml(const PrefsNode& root) {
    if (root.depth() + 1 > kPrefsMaxDepth)
        return std::nullopt;
    std::string out(kDeclaration);
    out += "<preferences version=\"1\">\n";
    append_node(out, root, 2);
    out += "</preferences>\n";
    return finish(std::move(out));
}

std::optional<std::string> write_prefs_document(const PrefsNode& document) {
    if (document.depth() > kPrefsMaxDepth)
        return std::nullopt;
    std::string out(kDeclaration);
    out += "<preferences version=\"1\">\n";
    append_content(out, document, 2);
    out += "</preferences>\n";
    return finish(std::move(out));
}

} // namespace corvantile::support
