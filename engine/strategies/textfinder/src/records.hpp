// Readers for the keys of element records. Absent keys take their defaults;
// a key holding a value of the wrong kind is a malformed record and raises
// TypeError naming the record and key, so no caller ever reads garbage.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "tarnwick/core/value.hpp"

namespace tarnwick::textfinder::detail {

// Names a record in error messages: "dom_elements[3]" or just "element".
struct RecordName {
    std::string_view sequence;
    std::size_t index = npos;
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    std::string str() const;
};

// Python's name for the kind of a value ("int", "NoneType", ...).

// The record itself, which must be a map.
const Map& record_map(const Value& record, const RecordName& name);

// A text key: absent or null reads as the empty text.
std::string_view text_key(const Map& record, std::string_view key, const RecordName& name);

// A map key (attributes, bounding box): absent or null reads as no map.
const Map* map_key(const Map& record, std::string_view key, const RecordName& name);

// A text entry of the attributes map: absent or null reads as empty.
std::string_view attribute_text(const Map& attributes, std::string_view key,
                                const RecordName& name);
// The same for an entry already looked up (`value` null when absent).
std::string_view attribute_text(const Value* value, std::string_view key, const RecordName& name);

// A flag key, by Python truthiness; absent is false.
bool flag_key(const Map& record, std::string_view key);

// A coordinate of a bounding box. `missing` gives the value of an absent key;
// when it is null, an absent key raises ValueError. Non-numbers raise TypeError.
double coordinate(const Map& box, std::string_view key, const RecordName& name,
                  const double* missing);

}  // namespace tarnwick::textfinder::detail
