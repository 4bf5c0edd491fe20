#include "tarnwick/gridmaker/number.hpp"

#include <cmath>

#include "tarnwick/core/errors.hpp"

namespace tarnwick::gridmaker {

Number add(Number a, Number b) {
    if (a.is_integer && b.is_integer) {
        std::int64_t sum = 0;
        if (__builtin_add_overflow(a.integer, b.integer, &sum))
            throw ValueError("coordinate sum is out of range");
        return Number::of(sum);
    }
    return Number::of(a.as_double() + b.as_double());
}

double add_half(Number a, Number b) {
    // Halving is exact in binary, so rounding b first and halving after
    // gives the same real as Python's correctly rounded b / 2.
    return a.as_double() + b.as_double() / 2.0;
}

int compare(Number a, Number b) {
    if (a.is_integer && b.is_integer) return (a.integer > b.integer) - (a.integer < b.integer);
    // long double holds every 64-bit integer and every double exactly.
    long double x = a.is_integer ? static_cast<long double>(a.integer) : a.real;
    long double y = b.is_integer ? static_cast<long double>(b.integer) : b.real;
    bool xn = std::isnan(x), yn = std::isnan(y);
    if (xn || yn) return xn - yn;
    return (x > y) - (x < y);
}

}  // namespace tarnwick::gridmaker
