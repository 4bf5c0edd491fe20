#include "tarnwick/core/errors.hpp"
#include "tarnwick/gridfinder/entries.hpp"

namespace tarnwick::gridfinder {

std::string_view coord_name(Coord c) {
    switch (c) {
        case Coord::x: return "x";
        case Coord::y: return "y";
        case Coord::w: return "w";
        case Coord::h: return "h";
        case Coord::cx: return "cx";
        case Coord::cy: return "cy";
        case Coord::x2: return "x2";
        case Coord::y2: return "y2";
    }
    return "?";
}

std::string_view attribute_name(AnchorAttribute a) {
    switch (a) {
        case AnchorAttribute::aria_label: return "aria-label";
        case AnchorAttribute::label: return "_label";
        case AnchorAttribute::placeholder: return "placeholder";
    }
    return "?";
}

Number coordinate(const Entries& m, std::size_t i, Coord c) {
    if (std::optional<Number> n = m.coordinate(i, c)) return *n;
    throw ValueError(m.name(i) + "['position'] has no '" + std::string(coord_name(c)) + "'");
}

}  // namespace tarnwick::gridfinder
