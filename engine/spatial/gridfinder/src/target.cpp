#include "tarnwick/gridfinder/target.hpp"

#include <algorithm>
#include <array>
#include <vector>

#include "lowered.hpp"
#include "tarnwick/core/text.hpp"

namespace tarnwick::gridfinder {

namespace {

using Words = std::vector<std::string_view>;

bool has_word(const Words& words, std::string_view w) {
    return std::find(words.begin(), words.end(), w) != words.end();
}

bool is_article(std::string_view w) {
    return std::find(std::begin(kArticles), std::end(kArticles), w) != std::end(kArticles);
}

std::optional<std::string> joined_or_absent(const Words& words) {
    if (words.empty()) return std::nullopt;
    return text::join(words, " ");
}

}  // namespace

std::span<const std::pair<std::string_view, std::string_view>> relation_search_order() {
    // Longest phrase first so that "right of" wins over a shorter phrase it
    // contains; the stable sort keeps stored order among equal lengths.
    static const auto order = [] {
        std::array<std::pair<std::string_view, std::string_view>, std::size(kRelations)> a{};
        std::copy(std::begin(kRelations), std::end(kRelations), a.begin());
        std::stable_sort(a.begin(), a.end(),
                         [](const auto& x, const auto& y) { return x.first.size() > y.first.size(); });
        return a;
    }();
    return order;
}

Target parse_target(std::string_view target) {
    const std::string t = text::lower(target);
    const Words words = text::split(t);
    Target r;

    std::string_view phrase;
    std::size_t at = std::string::npos;
    for (const auto& [p, strategy] : relation_search_order()) {
        at = t.find(p);
        if (at != std::string::npos) {
            phrase = p;
            r.strategy = strategy;
            break;
        }
    }

    std::string_view ordinal_word;
    for (const auto& [w, n] : kOrdinals) {
        if (has_word(words, w)) {
            ordinal_word = w;
            r.ordinal = n;
            break;
        }
    }

    // Table order decides, not phrase order.
    std::string_view type_word;
    for (const auto& [w, type] : kTypeKeywords) {
        if (has_word(words, w)) {
            type_word = w;
            r.type_filter = type;
            break;
        }
    }

    if (r.strategy) {
        std::string_view anchor = text::strip(std::string_view(t).substr(at + phrase.size()));
        // Each article once, in table order, only when followed by one space.
        for (std::string_view article : kArticles) {
            if (anchor.size() > article.size() && anchor.starts_with(article) &&
                anchor[article.size()] == ' ')
                anchor.remove_prefix(article.size() + 1);
        }
        r.anchor_text = std::string(text::strip(anchor));

        Words before;
        for (std::string_view w : text::split(std::string_view(t).substr(0, at)))
            if (w != type_word && w != ordinal_word) before.push_back(w);
        r.target_text = joined_or_absent(before);
    }

    if (r.ordinal && (!r.anchor_text || r.anchor_text->empty())) {
        const Words phrase_words = text::split(phrase);
        Words rest;
        for (std::string_view w : words) {
            if (w == ordinal_word || w == type_word || has_word(phrase_words, w) || is_article(w))
                continue;
            rest.push_back(w);
        }
        r.search_text = joined_or_absent(rest);
    }
    return r;
}

std::string normalize(std::string_view s) {
    std::string out = detail::lower(s);
    std::erase_if(out, [](char c) { return c == ' ' || c == '-'; });
    return out;
}

}  // namespace tarnwick::gridfinder
