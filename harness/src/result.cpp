#include "tarnwick/reporter/result.hpp"

#include "tarnwick/core/text.hpp"

namespace tarnwick::reporter {

bool is_recorded(std::string_view when, bool failed) {
    return when == "call" || (when == "setup" && failed);
}

NodeIdParts split_nodeid(std::string_view nodeid) {
    std::size_t sep = nodeid.find("::");
    if (sep == std::string_view::npos) return {nodeid, {}};
    return {nodeid.substr(0, sep), nodeid.substr(sep + 2)};
}

std::string_view status_of(bool passed, bool failed) {
    if (passed) return "passed";
    if (failed) return "failed";
    return "skipped";
}

std::string_view last_line(std::string_view text) {
    std::string_view trimmed = text::strip(text);
    std::size_t nl = trimmed.rfind('\n');
    return nl == std::string_view::npos ? trimmed : trimmed.substr(nl + 1);
}

Map make_result(std::string_view nodeid, std::string_view status, double duration,
                std::string message, std::string_view when) {
    NodeIdParts parts = split_nodeid(nodeid);
    Map record;
    record.reserve(7);
    record.append("nodeid", Value(nodeid));
    record.append("file", Value(parts.file));
    record.append("test", Value(parts.test));
    record.append("status", Value(status));
    record.append("duration", Value(duration));
    record.append("message", Value(std::move(message)));
    record.append("when", Value(when));
    return record;
}

}  // namespace tarnwick::reporter
