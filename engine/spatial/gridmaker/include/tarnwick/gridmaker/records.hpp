// The matrix over core records: reading the fields of ElementDescriptor and
// TextElement maps, and writing entries as MatrixEntry maps. Used by C++
// callers and by the benchmarks that time the core alone.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tarnwick/core/value.hpp"
#include "tarnwick/gridmaker/matrix.hpp"

namespace tarnwick::gridmaker {

// Reads the fields the matrix needs: of an ElementDescriptor when
// `interactable`, else of a TextElement (tag, text, `_label` and box only).
// `where` names the record in errors ("dom_elements[3]"). Throws TypeError
// for a record, `attributes` or `bounding_box` that is not a map, a text
// field that is not a text, an `is_enabled` that is not a boolean, a
// coordinate that is not a number. Views point into `record`.
ElementFields read_element(const Value& record, std::string_view where, bool interactable);

// Reads a bounding-box map into the four coordinates (0 when missing).
void read_box(const Value& box, std::string_view where, ElementFields& out);

Value position_value(const Position& p);

// The matrix as MatrixEntry maps; `element` values are copies of the input
// records, since Values cannot share.
Sequence build_values(const Sequence& dom, const Sequence& texts);

}  // namespace tarnwick::gridmaker
