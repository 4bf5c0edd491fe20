// JSON text exactly as Python's json.dumps(value, indent=N) writes it with
// the default ensure_ascii=True: ", " / ": " separators, one item per line,
// non-ASCII as \uXXXX escapes (UTF-16 units), reals in Python's repr form.
#pragma once

#include <string>

#include "tarnwick/core/value.hpp"

namespace tarnwick::json {

// indent < 0 writes everything on one line (json.dumps without indent).
std::string dumps(const Value& value, int indent = 2);

// repr(float) of CPython: shortest round-trip digits, "8.0", "1e-05", "1e+16",
// "inf" / "nan" (json spells those Infinity / NaN).
std::string float_repr(double d);

}  // namespace tarnwick::json
