// A coordinate as a record stores it: whole or real. Records keep the two
// apart (a whole left edge plus a whole width is a whole right edge), and
// arithmetic and comparisons follow Python's numbers, so values computed
// here compare exactly as the same values do in Python.
#pragma once

#include <cstdint>

namespace tarnwick {

struct Number {
    bool is_integer = true;
    std::int64_t integer = 0;
    double real = 0.0;

    static Number of(std::int64_t i) { return {true, i, 0.0}; }
    static Number of(double d) { return {false, 0, d}; }

    double as_double() const { return is_integer ? static_cast<double>(integer) : real; }
    bool operator==(const Number&) const = default;
};

// Whole op whole stays whole (a result beyond 64 bits falls back to real);
// anything with a real is computed in doubles, as Python does.
Number add(Number a, Number b);
Number sub(Number a, Number b);
Number mul(Number a, Number b);
// a + b, but a whole sum beyond 64 bits throws ValueError instead of
// silently turning real.
Number add_checked(Number a, Number b);
// a + b / 2 with true division: always real.
double add_half(Number a, Number b);

// Exact comparisons across kinds; every comparison with NaN is false.
bool less(Number a, Number b);
bool less_equal(Number a, Number b);
bool equal(Number a, Number b);

// Total order for sorting: by value, NaN after every number and equal to
// itself, so a sort never meets an inconsistent comparison.
int order(Number a, Number b);
int order(double a, double b);

}  // namespace tarnwick
