// InstructionParser: one free-text test step -> a ParsedInstruction record,
// plus the softer validation checks test authors run before a run.
//
// Texts are UTF-8 (lone surrogates encoded as three-byte sequences are
// accepted and come back unchanged). Every rule works on code points, so a
// character whose lower-case form has another UTF-8 length never shifts the
// positions at which texts are cut from the step.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tarnwick/core/value.hpp"
#include "tarnwick/stepreader/tables.hpp"

namespace tarnwick::stepreader {

// The step with every "quoted" literal replaced by its content, and the
// literals in order.
struct Unquoted {
    std::string text;
    std::vector<std::string> literals;
};
Unquoted unquote(std::string_view instruction);

// Collapses whitespace and drops leading stop words ("the", "a", ...).
std::string clean_target(std::string_view target);

// A leading ordinal word ("second row" -> 2, "row"); 1 and the text
// unchanged when there is none.
struct OrdinalSplit {
    int ordinal;
    std::string rest;
};
OrdinalSplit extract_ordinal(std::string_view text);

// Issues of one step number (1-based), for steps that have any.
using NumberedIssues = std::vector<std::pair<std::size_t, std::vector<std::string>>>;

class InstructionParser {
public:
    // The ParsedInstruction map: action, target, value, [ordinal],
    // _literal_target. Throws tarnwick::ValueError for a step no rule accepts.
    Map parse(std::string_view instruction) const;

    // Never throws on any text; an empty result means the step is clean.
    std::vector<std::string> validate(std::string_view instruction) const;
    NumberedIssues validate_all(const std::vector<std::string>& instructions) const;

    // The message parse() raises for `instruction` (quoted as passed).
    static std::string rejection_message(std::string_view instruction);
};

}  // namespace tarnwick::stepreader
