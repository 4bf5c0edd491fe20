#include "codepoints.hpp"

#include "tarnwick/core/text.hpp"

namespace tarnwick::stepreader::cp {

namespace {

Text widen(std::string_view ascii) { return Text(ascii.begin(), ascii.end()); }

}  // namespace

Text decode(std::string_view utf8) { return text::decode(utf8); }

std::string encode(View s) { return text::encode(s); }

View strip(View s) {
    std::size_t b = 0, e = s.size();
    while (b < e && text::is_space(s[b])) ++b;
    while (e > b && text::is_space(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::vector<View> split(View s) {
    std::vector<View> words;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && text::is_space(s[i])) ++i;
        std::size_t start = i;
        while (i < s.size() && !text::is_space(s[i])) ++i;
        if (i > start) words.push_back(s.substr(start, i - start));
    }
    return words;
}

std::vector<View> split_once(View s) {
    std::vector<View> parts;
    std::size_t i = 0;
    while (i < s.size() && text::is_space(s[i])) ++i;
    if (i == s.size()) return parts;
    std::size_t start = i;
    while (i < s.size() && !text::is_space(s[i])) ++i;
    parts.push_back(s.substr(start, i - start));
    while (i < s.size() && text::is_space(s[i])) ++i;
    if (i < s.size()) parts.push_back(s.substr(i));
    return parts;
}

View strip_char(View s, char32_t ch) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ch) ++b;
    while (e > b && s[e - 1] == ch) --e;
    return s.substr(b, e - b);
}

Text fold(View s) {
    Text out(s);
    for (char32_t& c : out)
        if (c != U'\u0130') c = text::lower_char(c);
    return out;
}

std::string lower_word(View s) { return text::lower(encode(s)); }

bool starts_with(View s, std::string_view ascii) {
    if (s.size() < ascii.size()) return false;
    for (std::size_t i = 0; i < ascii.size(); ++i)
        if (s[i] != static_cast<unsigned char>(ascii[i])) return false;
    return true;
}

bool ends_with(View s, std::string_view ascii) {
    return s.size() >= ascii.size() && starts_with(s.substr(s.size() - ascii.size()), ascii);
}

bool equals(View s, std::string_view ascii) {
    return s.size() == ascii.size() && starts_with(s, ascii);
}

std::size_t find(View s, std::string_view ascii, std::size_t from) {
    return s.find(widen(ascii), from);
}

std::size_t rfind(View s, std::string_view ascii) { return s.rfind(widen(ascii)); }

View slice(View s, std::size_t from, std::size_t to) {
    if (to > s.size()) to = s.size();
    if (from >= to) return {};
    return s.substr(from, to - from);
}

}  // namespace tarnwick::stepreader::cp
