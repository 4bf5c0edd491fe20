#include <algorithm>

#include "tarnwick/core/text.hpp"
#include "tarnwick/stepreader/instruction_parser.hpp"
#include "tarnwick/stepreader/tables.hpp"

namespace tarnwick::stepreader {

namespace {

template <std::size_t N>
std::string expected_endings(const std::array<StateEntry, N>& states) {
    std::vector<std::string_view> keys;
    for (const auto& entry : states) keys.push_back(entry.first);
    return text::join(keys, " | ");
}

template <std::size_t N>
bool ends_with_any(std::string_view s, const std::array<StateEntry, N>& states) {
    return std::any_of(states.begin(), states.end(),
                       [&](const StateEntry& e) { return text::ends_with(s, e.first); });
}

bool starts_with_any(std::string_view s, std::initializer_list<std::string_view> prefixes) {
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](std::string_view p) { return text::starts_with(s, p); });
}

// "type <text> into ...": is the text to type empty? `step` is trimmed.
bool missing_text_to_type(std::string_view step) {
    // The keyword is ASCII and lower-cases to itself, so byte 5 is
    // character 5 both in the step and in its lower-cased form.
    std::string after_keyword = text::lower(step.substr(5));
    std::size_t p = after_keyword.find(" into ");
    if (p == std::string::npos) return true;
    return text::strip(std::string_view(after_keyword).substr(0, p)).empty();
}

}  // namespace

std::vector<std::string> InstructionParser::validate(std::string_view instruction) const {
    std::string_view step = text::strip(instruction);
    if (step.empty()) return {"Instruction is empty."};

    if (std::count(step.begin(), step.end(), '"') % 2 != 0)
        return {"Unbalanced quote \u2014 missing closing `\"` in: " + text::repr(step)};

    const std::string lower = text::lower(step);
    // A trimmed, non-empty step always has a first word; the guard keeps
    // odd bytes from C++ callers from ever reading past an empty list.
    const std::vector<std::string_view> words = text::split(lower);
    const std::string_view first_word = words.empty() ? std::string_view() : words.front();
    if (std::find(kKnownActions.begin(), kKnownActions.end(), first_word) == kKnownActions.end())
        return {"Unknown action " + text::repr(first_word) +
                ". Expected one of: click, type, verify, hover, select, press, wait, find, "
                "extract, sendkeys."};

    std::vector<std::string> issues;
    const bool is_type = text::starts_with(lower, "type ");
    const bool has_into = text::contains(lower, " into ");
    if (is_type && !has_into)
        issues.push_back(
            "`type` instruction missing `into` keyword. Expected: type <text> into <target>");
    if (is_type && has_into && missing_text_to_type(step))
        issues.push_back(
            "`type` instruction missing text to type. Expected: type <text> into <target>");

    if (text::starts_with(lower, "select ") && !text::contains(lower, " from "))
        issues.push_back(
            "`select` instruction missing `from` keyword. Expected: select <value> from <target>");

    if (text::starts_with(lower, "verify ") &&
        !starts_with_any(lower, {"verify text ", "verify dialog"}) &&
        !ends_with_any(lower, kVerifyStates))
        issues.push_back("`verify` instruction missing state. Expected ending: " +
                         expected_endings(kVerifyStates));

    if (text::starts_with(lower, "verify text ") &&
        !starts_with_any(lower, {"verify text next to", "verify text below", "verify text above",
                                 "verify text left", "verify text right"}) &&
        !ends_with_any(lower, kVerifyTextStates))
        issues.push_back("`verify text` instruction missing state. Expected ending: " +
                         expected_endings(kVerifyTextStates));

    if (text::starts_with(lower, "wait ")) {
        std::string_view amount =
            text::strip_chars(text::strip_chars(text::strip(step.substr(5)), "\""), "'");
        if (!text::is_ascii_digits(amount))
            issues.push_back("`wait` value must be a number in milliseconds. Got: " +
                             text::repr(amount));
    }
    return issues;
}

NumberedIssues InstructionParser::validate_all(const std::vector<std::string>& instructions) const {
    NumberedIssues out;
    for (std::size_t i = 0; i < instructions.size(); ++i) {
        std::vector<std::string> issues = validate(instructions[i]);
        if (!issues.empty()) out.emplace_back(i + 1, std::move(issues));
    }
    return out;
}

}  // namespace tarnwick::stepreader
