#include "tarnwick/reporter/format.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "tarnwick/core/json.hpp"

namespace tarnwick::reporter {

namespace {

std::string fixed2(double d) {
    // %.2f rounds the exact binary value, ties to even, as Python's round()
    // and format() do.
    char buf[512];
    int n = std::snprintf(buf, sizeof buf, "%.2f", d);
    return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

}  // namespace

std::string run_duration(double seconds) {
    if (!std::isfinite(seconds)) return json::float_repr(seconds);
    std::string rounded = fixed2(seconds);
    return json::float_repr(std::strtod(rounded.c_str(), nullptr));
}

std::string test_duration(double seconds) { return fixed2(seconds); }

std::int64_t pass_rate(std::size_t passed, std::size_t total) {
    if (total == 0) return 0;
    double rate = static_cast<double>(passed) / static_cast<double>(total) * 100.0;
    // The default rounding mode is to-nearest-even.
    return static_cast<std::int64_t>(std::nearbyint(rate));
}

}  // namespace tarnwick::reporter
