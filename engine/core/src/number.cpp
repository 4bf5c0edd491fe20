#include "tarnwick/core/number.hpp"

#include <cmath>

#include "tarnwick/core/errors.hpp"

namespace tarnwick {

namespace {

// long double holds every 64-bit integer and every double exactly.
long double exact(Number n) { return n.is_integer ? static_cast<long double>(n.integer) : n.real; }

template <typename IntOp, typename RealOp>
Number arithmetic(Number a, Number b, IntOp int_op, RealOp real_op) {
    if (a.is_integer && b.is_integer) {
        std::int64_t r = 0;
        if (!int_op(a.integer, b.integer, &r)) return Number::of(r);
    }
    return Number::of(real_op(a.as_double(), b.as_double()));
}

template <typename T>
int total_order(T x, T y) {
    bool xn = std::isnan(x), yn = std::isnan(y);
    if (xn || yn) return xn - yn;
    return (x > y) - (x < y);
}

}  // namespace

Number add(Number a, Number b) {
    return arithmetic(
        a, b, [](auto x, auto y, auto* r) { return __builtin_add_overflow(x, y, r); },
        [](double x, double y) { return x + y; });
}

Number add_checked(Number a, Number b) {
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

Number sub(Number a, Number b) {
    return arithmetic(
        a, b, [](auto x, auto y, auto* r) { return __builtin_sub_overflow(x, y, r); },
        [](double x, double y) { return x - y; });
}

Number mul(Number a, Number b) {
    return arithmetic(
        a, b, [](auto x, auto y, auto* r) { return __builtin_mul_overflow(x, y, r); },
        [](double x, double y) { return x * y; });
}

bool less(Number a, Number b) {
    if (a.is_integer && b.is_integer) return a.integer < b.integer;
    return exact(a) < exact(b);
}

bool less_equal(Number a, Number b) {
    if (a.is_integer && b.is_integer) return a.integer <= b.integer;
    return exact(a) <= exact(b);
}

bool equal(Number a, Number b) {
    if (a.is_integer && b.is_integer) return a.integer == b.integer;
    return exact(a) == exact(b);
}

int order(Number a, Number b) {
    if (a.is_integer && b.is_integer) return (a.integer > b.integer) - (a.integer < b.integer);
    return total_order(exact(a), exact(b));
}

int order(double a, double b) { return total_order(a, b); }

}  // namespace tarnwick
