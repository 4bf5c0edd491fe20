#include "tarnwick/core/text.hpp"

#include <unicode/uchar.h>

#include <cstdio>

namespace tarnwick::text {

namespace {

UVersionInfo g_unicode_cap = {0, 0, 0, 0};

// True when `c` was assigned after the capped version (so Python's older
// database does not know it).
bool beyond_cap(char32_t c) {
    if (g_unicode_cap[0] == 0) return false;
    UVersionInfo age;
    u_charAge(static_cast<UChar32>(c), age);
    if (age[0] == 0 && age[1] == 0) return false;  // unassigned anyway
    if (age[0] != g_unicode_cap[0]) return age[0] > g_unicode_cap[0];
    return age[1] > g_unicode_cap[1];
}

bool is_ascii_space(unsigned char c) {
    // Python's ASCII whitespace: \t \n \v \f \r, the four information
    // separators 0x1C-0x1F, and the blank.
    return c == ' ' || (c >= 0x09 && c <= 0x0D) || (c >= 0x1C && c <= 0x1F);
}

bool is_cased(char32_t c) { return !beyond_cap(c) && u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_CASED); }

bool is_case_ignorable(char32_t c) {
    return !beyond_cap(c) && u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_CASE_IGNORABLE);
}

// Context rule for capital sigma, as CPython applies it in str.lower():
// final form when preceded by a cased letter and not followed by one,
// case-ignorable characters being skipped on both sides.
char32_t lower_sigma(const std::u32string& cps, std::size_t i) {
    std::size_t j = i;
    char32_t c = 0;
    bool found = false;
    while (j > 0) {
        c = cps[--j];
        if (!is_case_ignorable(c)) {
            found = true;
            break;
        }
    }
    bool final_sigma = found && is_cased(c);
    if (final_sigma) {
        for (std::size_t k = i + 1; k < cps.size(); ++k) {
            if (!is_case_ignorable(cps[k])) {
                final_sigma = !is_cased(cps[k]);
                break;
            }
        }
    }
    return final_sigma ? U'\u03C2' : U'\u03C3';
}

}  // namespace

void set_unicode_version(int major, int minor) {
    g_unicode_cap[0] = static_cast<uint8_t>(major);
    g_unicode_cap[1] = static_cast<uint8_t>(minor);
}

char32_t next_code_point(std::string_view s, std::size_t& pos) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char b0 = byte(pos);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    int extra = 0;
    char32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        cp = b0 & 0x07;
    } else {
        ++pos;
        return 0xFFFD;
    }
    if (pos + extra >= s.size()) {
        ++pos;
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        unsigned char b = byte(pos + k);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    pos += extra + 1;
    return cp;
}

std::u32string decode(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) out.push_back(next_code_point(utf8, pos));
    return out;
}

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string encode(std::u32string_view cps) {
    std::string out;
    out.reserve(cps.size());
    for (char32_t c : cps) append_utf8(out, c);
    return out;
}

bool is_space(char32_t c) {
    if (c < 0x80) return is_ascii_space(static_cast<unsigned char>(c));
    if ((c >= 0xD800 && c <= 0xDFFF) || beyond_cap(c)) return false;
    auto dir = u_charDirection(static_cast<UChar32>(c));
    if (dir == U_WHITE_SPACE_NEUTRAL || dir == U_BLOCK_SEPARATOR || dir == U_SEGMENT_SEPARATOR)
        return true;
    return u_charType(static_cast<UChar32>(c)) == U_SPACE_SEPARATOR;
}

bool is_digit(char32_t c) {
    if (c < 0x80) return c >= '0' && c <= '9';
    if (beyond_cap(c)) return false;
    auto nt = u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_NUMERIC_TYPE);
    return nt == U_NT_DECIMAL || nt == U_NT_DIGIT;
}

bool is_printable(char32_t c) {
    if (c < 0x80) return c >= 0x20 && c < 0x7F;
    if (beyond_cap(c)) return false;
    switch (u_charType(static_cast<UChar32>(c))) {
        case U_CONTROL_CHAR:
        case U_FORMAT_CHAR:
        case U_SURROGATE:
        case U_PRIVATE_USE_CHAR:
        case U_UNASSIGNED:
        case U_LINE_SEPARATOR:
        case U_PARAGRAPH_SEPARATOR:
        case U_SPACE_SEPARATOR:
            return false;
        default:
            return true;
    }
}

char32_t lower_char(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if ((c >= 0xD800 && c <= 0xDFFF) || beyond_cap(c)) return c;
    return static_cast<char32_t>(u_tolower(static_cast<UChar32>(c)));
}

std::string lower_simple(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t pos = 0;
    while (pos < s.size()) {
        unsigned char b = static_cast<unsigned char>(s[pos]);
        if (b < 0x80) {
            out.push_back(static_cast<char>((b >= 'A' && b <= 'Z') ? b + 32 : b));
            ++pos;
            continue;
        }
        append_utf8(out, lower_char(next_code_point(s, pos)));
    }
    return out;
}

std::string lower(std::string_view s) {
    // ASCII fast path: most page texts and attribute values are ASCII.
    bool ascii = true;
    for (char ch : s) {
        if (static_cast<unsigned char>(ch) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        std::string out(s);
        for (char& ch : out)
            if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
        return out;
    }
    std::u32string cps = decode(s);
    std::string out;
    out.reserve(s.size() + 4);
    for (std::size_t i = 0; i < cps.size(); ++i) {
        char32_t c = cps[i];
        if (c == 0x0130) {
            // The one unconditional lower-case expansion: I with dot above
            // becomes i followed by a combining dot above.
            append_utf8(out, U'i');
            append_utf8(out, U'\u0307');
        } else if (c == 0x03A3) {
            append_utf8(out, lower_sigma(cps, i));
        } else {
            append_utf8(out, lower_char(c));
        }
    }
    return out;
}

std::string_view lstrip(std::string_view s) {
    std::size_t pos = 0;
    while (pos < s.size()) {
        std::size_t next = pos;
        char32_t c = next_code_point(s, next);
        if (!is_space(c)) break;
        pos = next;
    }
    return s.substr(pos);
}

std::string_view rstrip(std::string_view s) {
    std::size_t end = s.size();
    while (end > 0) {
        // Step back to the start of the previous code point.
        std::size_t start = end - 1;
        while (start > 0 && (static_cast<unsigned char>(s[start]) & 0xC0) == 0x80) --start;
        std::size_t probe = start;
        char32_t c = next_code_point(s, probe);
        if (!is_space(c)) break;
        end = start;
    }
    return s.substr(0, end);
}

std::string_view strip(std::string_view s) { return rstrip(lstrip(s)); }

std::string_view strip_chars(std::string_view s, std::string_view chars) {
    std::size_t b = 0, e = s.size();
    while (b < e && chars.find(s[b]) != std::string_view::npos) ++b;
    while (e > b && chars.find(s[e - 1]) != std::string_view::npos) --e;
    return s.substr(b, e - b);
}

std::vector<std::string_view> split(std::string_view s) {
    std::vector<std::string_view> parts;
    std::size_t pos = 0;
    std::size_t word_start = std::string_view::npos;
    while (pos < s.size()) {
        std::size_t here = pos;
        char32_t c = next_code_point(s, pos);
        if (is_space(c)) {
            if (word_start != std::string_view::npos) {
                parts.push_back(s.substr(word_start, here - word_start));
                word_start = std::string_view::npos;
            }
        } else if (word_start == std::string_view::npos) {
            word_start = here;
        }
    }
    if (word_start != std::string_view::npos) parts.push_back(s.substr(word_start));
    return parts;
}

std::vector<std::string_view> split_once(std::string_view s) {
    std::vector<std::string_view> parts;
    std::string_view rest = lstrip(s);
    if (rest.empty()) return parts;
    std::size_t pos = 0;
    while (pos < rest.size()) {
        std::size_t here = pos;
        char32_t c = next_code_point(rest, pos);
        if (is_space(c)) {
            parts.push_back(rest.substr(0, here));
            std::string_view tail = lstrip(rest.substr(here));
            if (!tail.empty()) parts.push_back(tail);
            return parts;
        }
    }
    parts.push_back(rest);
    return parts;
}

bool has_digit(std::string_view s) {
    std::size_t pos = 0;
    while (pos < s.size())
        if (is_digit(next_code_point(s, pos))) return true;
    return false;
}

bool is_ascii_digits(std::string_view s) {
    if (s.empty()) return false;
    for (char ch : s)
        if (ch < '0' || ch > '9') return false;
    return true;
}

std::size_t length(std::string_view s) {
    std::size_t n = 0;
    for (char ch : s)
        if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) ++n;
    return n;
}

std::string repr(std::string_view s) {
    bool has_single = s.find('\'') != std::string_view::npos;
    bool has_double = s.find('"') != std::string_view::npos;
    char quote = (has_single && !has_double) ? '"' : '\'';
    std::string out;
    out.reserve(s.size() + 2);
    out.push_back(quote);
    char buf[16];
    std::size_t pos = 0;
    while (pos < s.size()) {
        char32_t c = next_code_point(s, pos);
        if (c == static_cast<char32_t>(quote) || c == U'\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c == U'\t') {
            out += "\\t";
        } else if (c == U'\n') {
            out += "\\n";
        } else if (c == U'\r') {
            out += "\\r";
        } else if (is_printable(c)) {
            append_utf8(out, c);
        } else {
            if (c <= 0xFF)
                std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned>(c));
            else if (c <= 0xFFFF)
                std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
            else
                std::snprintf(buf, sizeof buf, "\\U%08x", static_cast<unsigned>(c));
            out += buf;
        }
    }
    out.push_back(quote);
    return out;
}

std::string repr_list(const std::vector<std::string>& items) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out += ", ";
        out += repr(items[i]);
    }
    out += "]";
    return out;
}

bool starts_with(std::string_view s, std::string_view prefix) { return s.starts_with(prefix); }
bool ends_with(std::string_view s, std::string_view suffix) { return s.ends_with(suffix); }
bool contains(std::string_view haystack, std::string_view needle) {
    return haystack.find(needle) != std::string_view::npos;
}

std::string replace_all(std::string_view s, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(s.size());
    if (from.empty()) return std::string(s);
    std::size_t pos = 0;
    while (true) {
        std::size_t hit = s.find(from, pos);
        if (hit == std::string_view::npos) break;
        out.append(s.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    out.append(s.substr(pos));
    return out;
}

std::string join(const std::vector<std::string_view>& parts, std::string_view sep) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i) out.append(sep);
        out.append(parts[i]);
    }
    return out;
}

std::string join(const std::vector<std::string>& parts, std::string_view sep) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i) out.append(sep);
        out.append(parts[i]);
    }
    return out;
}

}  // namespace tarnwick::text
