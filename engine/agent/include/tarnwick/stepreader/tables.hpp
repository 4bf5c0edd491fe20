// The fixed vocabulary of the step language. The parser searches these
// tables in their stored order, so the order is part of the grammar.
#pragma once

#include <array>
#include <string_view>
#include <utility>

namespace tarnwick::stepreader {

// Quoted in the rejection message, in this order.
inline constexpr std::array<std::string_view, 20> kSupportedActions{
    "click",          "type",           "hover",           "select",
    "press_key",      "sendkeys",       "extract_text",    "extract_text_spatial",
    "find_text",      "find_exact_text", "verify_present", "verify_visible",
    "verify_enabled", "verify_disabled", "verify_text_present", "verify_text_visible",
    "verify_spatial_text", "accept_dialog", "dismiss_dialog", "verify_dialog"};

// Step ending -> action, tried in order.
using StateEntry = std::pair<std::string_view, std::string_view>;
inline constexpr std::array<StateEntry, 4> kVerifyStates{{
    {"is present", "verify_present"},
    {"is visible", "verify_visible"},
    {"is enabled", "verify_enabled"},
    {"is disabled", "verify_disabled"},
}};
inline constexpr std::array<StateEntry, 2> kVerifyTextStates{{
    {"is present", "verify_text_present"},
    {"is visible", "verify_text_visible"},
}};

// Leading words dropped from element descriptions.
inline constexpr std::array<std::string_view, 7> kStopWords{"on", "the", "a",   "an",
                                                            "in", "at",  "into"};

// First words validation accepts; wider than what parse understands.
inline constexpr std::array<std::string_view, 15> kKnownActions{
    "click", "type",    "hover",   "select", "press", "sendkeys", "wait",    "verify",
    "find",  "extract", "accept",  "dismiss", "back", "refresh",  "navigate"};

using OrdinalEntry = std::pair<std::string_view, int>;
inline constexpr std::array<OrdinalEntry, 5> kOrdinals{{
    {"first", 1}, {"second", 2}, {"third", 3}, {"fourth", 4}, {"fifth", 5}}};

// Keywords that open a spatial phrase, each with its trailing blank.
inline constexpr std::array<std::string_view, 7> kSpatialKeywords{
    "next to ", "below ", "above ", "left of ", "right of ", "under ", "near "};

// A double-quoted literal: the quotes and at least one non-quote character.
inline constexpr std::string_view kQuotePattern = "\"([^\"]+)\"";

}  // namespace tarnwick::stepreader
