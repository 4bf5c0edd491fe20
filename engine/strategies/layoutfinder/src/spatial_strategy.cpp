#include "tarnwick/layoutfinder/spatial_strategy.hpp"

#include <string>

#include "tarnwick/core/errors.hpp"

namespace tarnwick::layoutfinder {

namespace {

void require(const Argument& arg, Argument::Kind kind, std::string_view name,
             std::string_view expected) {
    if (arg.kind != kind)
        throw TypeError(std::string(name) + " must be " + std::string(expected) + ", not " +
                        std::string(arg.type_name));
}

}  // namespace

std::optional<Map> SpatialStrategy::resolve(const Argument& parsed_instruction, const Argument& matrix,
                                            const Argument& dom_candidates) const {
    require(parsed_instruction, Argument::Kind::map, "parsed_instruction", "a dict");
    require(matrix, Argument::Kind::map, "matrix", "a dict");
    require(dom_candidates, Argument::Kind::sequence, "dom_candidates", "a list");
    return std::nullopt;
}

}  // namespace tarnwick::layoutfinder
