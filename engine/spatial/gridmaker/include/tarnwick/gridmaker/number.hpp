// A coordinate exactly as the page reader stored it. Whole numbers and reals
// stay apart because the matrix hands coordinates on unchanged and derives
// the right and bottom edges by their kinds (whole + whole stays whole).
#pragma once

#include <cstdint>

namespace tarnwick::gridmaker {

struct Number {
    bool is_integer = true;
    std::int64_t integer = 0;
    double real = 0.0;

    static Number of(std::int64_t i) { return {true, i, 0.0}; }
    static Number of(double d) { return {false, 0, d}; }

    double as_double() const { return is_integer ? static_cast<double>(integer) : real; }
    bool operator==(const Number&) const = default;
};

// a + b with Python's rules: whole when both are whole, real otherwise.
// Throws ValueError when a whole sum leaves the 64-bit range.
Number add(Number a, Number b);

// a + b / 2 with true division: always real.
double add_half(Number a, Number b);

// Total order for sorting: numbers by value (whole and real compared
// exactly), NaN after every number and equal to itself, so a sort never
// meets an inconsistent comparison.
int compare(Number a, Number b);

}  // namespace tarnwick::gridmaker
