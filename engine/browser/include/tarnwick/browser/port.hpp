// The page reader's view of the browser: the few page and element operations
// it needs, so the algorithms run the same against Playwright, against a page
// captured in one script call, and against the in-memory pages of the tests.
//
// Any operation may throw a std::exception to report that the browser call
// failed (detached element, closed page, script error); the reader decides
// per call site whether that drops one element or ends the read.
#pragma once

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tarnwick/core/value.hpp"

namespace tarnwick::browser {

// Thrown (deliberately not a std::exception) when the caller must stop at
// once, e.g. the user interrupted the run; per-element guards let it pass.
struct Abort {
    std::exception_ptr cause;
};

class Element {
public:
    virtual ~Element() = default;
    virtual bool is_visible() = 0;
    virtual bool is_enabled() = 0;
    // Rendered text; nullopt when the browser reports none.
    virtual std::optional<std::string> inner_text() = 0;
    // Attribute value, nullopt when absent.
    virtual std::optional<std::string> attribute(std::string_view name) = 0;
    // A map with x, y, width, height, or null when the element is not rendered.
    virtual Value bounding_box() = 0;
    // Runs a page function that takes the element as its argument.
    virtual Value evaluate(std::string_view script) = 0;
};

using ElementPtr = std::unique_ptr<Element>;

class Page {
public:
    virtual ~Page() = default;
    virtual std::vector<ElementPtr> query_all(std::string_view selector) = 0;
    // nullptr when nothing matches.
    virtual ElementPtr query_one(std::string_view selector) = 0;
    // Runs a page function that takes no argument.
    virtual Value evaluate(std::string_view script) = 0;
    // Runs a page function that returns a JSON text and parses it: large
    // results travel far faster as one string.
    virtual Value evaluate_json(std::string_view script) { return evaluate(script); }
    virtual std::string url() = 0;
};

}  // namespace tarnwick::browser
