// Read access to a sequence of matrix entries.
//
// Resolution reads a handful of keys from most entries and the geometry of a
// few, so entries are read lazily, key by key, where they are stored: a
// binding reads its own objects in place, C++ callers use ValueEntries.
// A reader throws TypeError for a value of the wrong kind; what an absent
// key means is said per reader.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "tarnwick/core/number.hpp"

namespace tarnwick::gridfinder {

enum class Coord { x, y, w, h, cx, cy, x2, y2 };
std::string_view coord_name(Coord c);

// The anchor attributes of the element record, in the order they are tested.
enum class AnchorAttribute { aria_label, label, placeholder };
inline constexpr AnchorAttribute kAnchorAttributes[] = {
    AnchorAttribute::aria_label, AnchorAttribute::label, AnchorAttribute::placeholder};
std::string_view attribute_name(AnchorAttribute a);

class Entries {
public:
    virtual ~Entries() = default;

    virtual std::size_t size() const = 0;
    // How errors name entry `i` ("matrix[3]", "anchor").
    virtual std::string name(std::size_t i) const = 0;

    virtual Number index(std::size_t i) const = 0;                 // ValueError when absent
    virtual std::string_view text(std::size_t i) const = 0;        // "" when absent
    virtual std::string_view searchable(std::size_t i) const = 0;  // "" when absent
    virtual std::optional<std::string_view> element_type(std::size_t i) const = 0;
    virtual bool is_anchor_only(std::size_t i) const = 0;  // false when absent
    // nullopt when the position map lacks the key; ValueError when the entry
    // has no position map.
    virtual std::optional<Number> coordinate(std::size_t i, Coord c) const = 0;
    // Of the entry's `element` record (ValueError when it has none).
    virtual std::string_view attribute(std::size_t i, AnchorAttribute a) const = 0;  // "" when absent
    virtual std::string_view xpath(std::size_t i) const = 0;  // "" when absent
};

// A coordinate the geometry needs: ValueError naming entry and key when absent.
Number coordinate(const Entries& m, std::size_t i, Coord c);

}  // namespace tarnwick::gridfinder
