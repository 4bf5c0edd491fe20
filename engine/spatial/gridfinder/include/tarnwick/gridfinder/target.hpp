// Target phrases: "Delete button next to John", "second link below Orders",
// "third input". A shallow parse with fixed word tables: relation phrases are
// found as substrings, ordinal and type words as whole words.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace tarnwick::gridfinder {

// Relation phrase → strategy, in stored order. They are searched longest
// first (ties in stored order): see relation_search_order().
inline constexpr std::pair<std::string_view, std::string_view> kRelations[] = {
    {"next to", "next_to"}, {"below", "below"}, {"under", "below"},  {"above", "above"},
    {"left of", "left"},    {"right of", "right"}, {"near", "near"},
};
std::span<const std::pair<std::string_view, std::string_view>> relation_search_order();

inline constexpr std::pair<std::string_view, std::int64_t> kOrdinals[] = {
    {"first", 1}, {"second", 2}, {"third", 3}, {"fourth", 4}, {"fifth", 5},
    {"1st", 1},   {"2nd", 2},    {"3rd", 3},   {"4th", 4},    {"5th", 5},
};

inline constexpr std::pair<std::string_view, std::string_view> kTypeKeywords[] = {
    {"button", "button"}, {"btn", "button"},  {"link", "link"},     {"anchor", "link"},
    {"input", "input"},   {"field", "input"}, {"textbox", "input"}, {"select", "select"},
    {"dropdown", "select"},
};

inline constexpr std::string_view kArticles[] = {"the", "a", "an"};

// The six members in their fixed order; nullopt is "absent". An empty
// anchor_text ("button under") differs from an absent one ("Save").
struct Target {
    std::optional<std::string> anchor_text;
    std::optional<std::string_view> strategy;
    std::optional<std::string_view> type_filter;
    std::optional<std::int64_t> ordinal;
    std::optional<std::string> search_text;
    std::optional<std::string> target_text;

    bool operator==(const Target&) const = default;
};

Target parse_target(std::string_view target);

// Lower-cased, then every U+0020 and "-" removed; other whitespace stays.
std::string normalize(std::string_view text);

}  // namespace tarnwick::gridfinder
