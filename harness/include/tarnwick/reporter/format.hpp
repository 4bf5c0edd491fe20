// Number formats of the report.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarnwick::reporter {

// The run's duration: rounded to 2 decimals and written the way Python
// prints that float (3.14159 -> "3.14", 2.5 -> "2.5", 7 -> "7.0").
std::string run_duration(double seconds);

// A test's duration: fixed point, exactly two decimals (0.5 -> "0.50").
std::string test_duration(double seconds);

// Percentage of passed tests, rounded half to even; 0 for an empty run.
std::int64_t pass_rate(std::size_t passed, std::size_t total);

}  // namespace tarnwick::reporter
