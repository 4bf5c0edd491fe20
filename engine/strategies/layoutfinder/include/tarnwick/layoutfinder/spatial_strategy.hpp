// The Level 2 strategy object beside the Level 1 text strategy. It resolves
// nothing: its absent answer tells the caller to use the spatial matrix and
// resolver directly. Only the kinds of its arguments are checked.
#pragma once

#include <optional>
#include <string_view>

#include "tarnwick/core/value.hpp"

namespace tarnwick::layoutfinder {

// What an argument is, as far as the strategy cares; bindings classify their
// own objects and name the type for messages.
struct Argument {
    enum class Kind { null, map, sequence, other };
    Kind kind;
    std::string_view type_name;  // "dict", "NoneType", …
};

class SpatialStrategy {
public:
    // Throws TypeError naming the first argument of the wrong kind:
    // parsed_instruction and matrix must be maps, dom_candidates a sequence.
    // Otherwise always absent.
    std::optional<Map> resolve(const Argument& parsed_instruction, const Argument& matrix,
                               const Argument& dom_candidates) const;
};

}  // namespace tarnwick::layoutfinder
