#include "tarnwick/reporter/escape.hpp"

#include <array>

namespace tarnwick::reporter {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void append_hex_escape(std::string& out, unsigned char c) {
    out += "\\x";
    out.push_back(kHex[c >> 4]);
    out.push_back(kHex[c & 0xF]);
}

}  // namespace

void append_html(std::string& out, std::string_view s) {
    // Most values hold nothing to escape: one table lookup per byte, then a
    // single append of each plain run.
    static constexpr auto entity = [] {
        std::array<std::string_view, 256> t{};
        t['&'] = "&amp;";
        t['<'] = "&lt;";
        t['>'] = "&gt;";
        t['"'] = "&quot;";
        t['\''] = "&#x27;";
        return t;
    }();
    std::size_t run = 0;  // start of the pending run of plain bytes
    for (std::size_t i = 0; i < s.size(); ++i) {
        std::string_view e = entity[static_cast<unsigned char>(s[i])];
        if (e.empty()) continue;
        out.append(s.data() + run, i - run);
        out += e;
        run = i + 1;
    }
    out.append(s.data() + run, s.size() - run);
}

std::string html_escape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    append_html(out, s);
    return out;
}

void append_js_string(std::string& out, std::string_view s) {
    out.push_back('\'');
    for (std::size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        switch (c) {
            case '\\':
                out += "\\\\";
                continue;
            // Quotes, markup and entity starts: escaped so that neither the
            // literal, the attribute nor a surrounding element can end early.
            case '\'':
            case '"':
            case '<':
            case '>':
            case '&':
            case '`':
                append_hex_escape(out, c);
                continue;
            default:
                break;
        }
        if (c < 0x20 || c == 0x7F) {
            append_hex_escape(out, c);
        } else if (c == 0xE2 && i + 2 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0x80 &&
                   (static_cast<unsigned char>(s[i + 2]) == 0xA8 ||
                    static_cast<unsigned char>(s[i + 2]) == 0xA9)) {
            // U+2028 / U+2029 end a line inside older JavaScript string literals.
            out += static_cast<unsigned char>(s[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
            i += 2;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    out.push_back('\'');
}

std::string js_string(std::string_view s) {
    std::string out;
    out.reserve(s.size() + 2);
    append_js_string(out, s);
    return out;
}

}  // namespace tarnwick::reporter
