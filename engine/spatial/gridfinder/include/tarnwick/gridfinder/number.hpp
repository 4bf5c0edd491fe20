// A coordinate of a matrix entry as stored: whole or real. Arithmetic and
// comparisons follow Python's numbers, so hand-built matrices with whole
// centres or real edges compare exactly as the same values do in Python.
#pragma once

#include <cstdint>

namespace tarnwick::gridfinder {

struct Number {
    bool is_integer = true;
    std::int64_t integer = 0;
    double real = 0.0;

    static Number of(std::int64_t i) { return {true, i, 0.0}; }
    static Number of(double d) { return {false, 0, d}; }

    double as_double() const { return is_integer ? static_cast<double>(integer) : real; }
};

// Whole op whole stays whole (a result beyond 64 bits falls back to real);
// anything with a real is computed in doubles, as Python does.
Number add(Number a, Number b);
Number sub(Number a, Number b);
Number mul(Number a, Number b);

// Exact comparisons across kinds; every comparison with NaN is false.
bool less(Number a, Number b);
bool less_equal(Number a, Number b);
bool equal(Number a, Number b);

// Total order for sorting: by value, NaN after every number and equal to
// itself, so a sort never meets an inconsistent comparison.
int order(Number a, Number b);
int order(double a, double b);

}  // namespace tarnwick::gridfinder
