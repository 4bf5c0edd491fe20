// Result collection: how one phase report of the test runner becomes (or
// does not become) a result record. The binding reads the report object;
// the rules live here.
#pragma once

#include <string>
#include <string_view>

#include "tarnwick/core/value.hpp"

namespace tarnwick::reporter {

// Only the call phase, or a set-up phase that failed, yields a record: a
// test has at most one, skip markers (skipped set-up) leave none, and a
// teardown failure never changes a test's outcome in the report.
bool is_recorded(std::string_view when, bool failed);

struct NodeIdParts {
    std::string_view file;  // up to the first "::" (all of it when there is none)
    std::string_view test;  // the rest, further "::" kept
};
NodeIdParts split_nodeid(std::string_view nodeid);

// "passed", "failed" or "skipped", tested in that order.
std::string_view status_of(bool passed, bool failed);

// Message of a long representation without a usable crash point: the last
// line of the trimmed text, that line's own leading spaces kept.
std::string_view last_line(std::string_view text);

// The result record, keys in the order readers rely on:
// nodeid, file, test, status, duration, message, when.
Map make_result(std::string_view nodeid, std::string_view status, double duration,
                std::string message, std::string_view when);

}  // namespace tarnwick::reporter
