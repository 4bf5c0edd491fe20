#include "target_text.hpp"

#include <algorithm>

#include "tarnwick/stepreader/instruction_parser.hpp"
#include "tarnwick/stepreader/tables.hpp"

namespace tarnwick::stepreader {

namespace detail {

Unquoted unquote(cp::View s) {
    // Left-to-right, non-overlapping matches of "([^"]+)". An empty pair ""
    // does not match at its first quote, so the second quote may still open
    // a literal.
    Unquoted out;
    out.text.reserve(s.size());
    std::size_t pos = 0;
    while (true) {
        std::size_t open = s.find(U'"', pos);
        if (open == cp::View::npos) break;
        std::size_t close = s.find(U'"', open + 1);
        if (close == cp::View::npos) break;
        if (close == open + 1) {
            out.text.append(s.substr(pos, close - pos));
            pos = close;
            continue;
        }
        out.text.append(s.substr(pos, open - pos));
        cp::View literal = s.substr(open + 1, close - open - 1);
        out.text.append(literal);
        out.literals.emplace_back(literal);
        pos = close + 1;
    }
    out.text.append(s.substr(pos));
    return out;
}

cp::Text clean_target(cp::View target) {
    std::vector<cp::View> words = cp::split(target);
    auto is_stop_word = [](cp::View word) {
        std::string lower = cp::lower_word(word);
        return std::find(kStopWords.begin(), kStopWords.end(), lower) != kStopWords.end();
    };
    std::size_t first = 0;
    while (first < words.size() && is_stop_word(words[first])) ++first;
    cp::Text out;
    for (std::size_t i = first; i < words.size(); ++i) {
        if (i > first) out.push_back(U' ');
        out.append(words[i]);
    }
    return out;
}

std::pair<int, cp::View> extract_ordinal(cp::View text) {
    std::vector<cp::View> parts = cp::split_once(text);
    if (!parts.empty()) {
        std::string word = cp::lower_word(parts[0]);
        for (const auto& [name, number] : kOrdinals)
            if (word == name) return {number, parts.size() > 1 ? parts[1] : cp::View{}};
    }
    return {1, text};
}

}  // namespace detail

Unquoted unquote(std::string_view instruction) {
    detail::Unquoted u = detail::unquote(cp::decode(instruction));
    Unquoted out{cp::encode(u.text), {}};
    out.literals.reserve(u.literals.size());
    for (const auto& literal : u.literals) out.literals.push_back(cp::encode(literal));
    return out;
}

std::string clean_target(std::string_view target) {
    return cp::encode(detail::clean_target(cp::decode(target)));
}

OrdinalSplit extract_ordinal(std::string_view text) {
    cp::Text decoded = cp::decode(text);
    auto [ordinal, rest] = detail::extract_ordinal(decoded);
    return {ordinal, cp::encode(rest)};
}

}  // namespace tarnwick::stepreader
