#include "tarnwick/browser/css_escape.hpp"

#include <cstdio>

#include "tarnwick/core/text.hpp"

namespace tarnwick::browser {

namespace {

void hex_escape(std::string& out, char32_t c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "\\%x ", static_cast<unsigned>(c));
    out += buf;
}

bool is_ascii_digit(char32_t c) { return c >= U'0' && c <= U'9'; }

}  // namespace

std::string css_escape(std::string_view utf8) {
    const std::u32string cps = text::decode(utf8);
    std::string out;
    for (std::size_t i = 0; i < cps.size(); ++i) {
        const char32_t c = cps[i];
        if (c == 0) {
            text::append_utf8(out, U'\uFFFD');
        } else if ((c >= 0x01 && c <= 0x1F) || c == 0x7F || (i == 0 && is_ascii_digit(c)) ||
                   (i == 1 && is_ascii_digit(c) && cps[0] == U'-')) {
            hex_escape(out, c);
        } else if (i == 0 && c == U'-' && cps.size() == 1) {
            out += "\\-";
        } else if (c >= 0x80 || c == U'-' || c == U'_' || is_ascii_digit(c) || (c >= U'a' && c <= U'z') ||
                   (c >= U'A' && c <= U'Z')) {
            text::append_utf8(out, c);
        } else {
            out += '\\';
            text::append_utf8(out, c);
        }
    }
    return out;
}

}  // namespace tarnwick::browser
