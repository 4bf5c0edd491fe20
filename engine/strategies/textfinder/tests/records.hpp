// Builders for element records in the C++ tests.
#pragma once

#include <string>

#include "tarnwick/core/value.hpp"

namespace tarnwick::textfinder::testing {

inline Value box(double x, double y, double width = 100, double height = 20) {
    return Value(Map{{"x", x}, {"y", y}, {"width", width}, {"height", height}});
}

inline Value element(std::string text, Map attributes = {}, double x = 0, double y = 0,
                     bool visible = true, std::string tag = "button") {
    return Value(Map{{"tag", std::move(tag)},
                     {"text", std::move(text)},
                     {"attributes", std::move(attributes)},
                     {"bounding_box", box(x, y)},
                     {"is_visible", visible},
                     {"is_enabled", true},
                     {"xpath", "/html[1]/body[1]/button[1]"}});
}

inline Value text_element(std::string text, double x, double y, std::string xpath,
                          std::string tag = "span", double width = 100, double height = 20) {
    return Value(Map{{"tag", std::move(tag)},
                     {"text", std::move(text)},
                     {"has_direct_text", true},
                     {"attributes", Map{}},
                     {"bounding_box", box(x, y, width, height)},
                     {"is_visible", true},
                     {"is_enabled", true},
                     {"xpath", std::move(xpath)}});
}

}  // namespace tarnwick::textfinder::testing
