// Reads the JSON text that page scripts return (JSON.stringify output)
// straight into record values, without building Python objects first.
#pragma once

#include <stdexcept>
#include <string_view>

#include "tarnwick/core/value.hpp"

namespace tarnwick::browser {

struct JsonError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Numbers without a fraction or exponent that fit in 64 bits become
// integers, others reals; objects keep their key order; a \u escape of a
// lone surrogate is kept as its three-byte form, as the bindings carry lone
// surrogates. Throws JsonError on malformed text.
Value parse_json(std::string_view text);

}  // namespace tarnwick::browser
