// A page held in memory: the facts a page read needs, captured beforehand.
// It backs the one-call read (the page script of bulk_read_js() answers in
// this layout) and the tests' fake pages.
//
//   {"url": text,
//    "elements": [{"visible", "enabled", "text", "attributes": {name: value},
//                  "box", "tag", "xpath", "direct", "sibling", "parent"}, ...],
//    "queries": {selector: [element index, ...]},      query_all
//               (or {"d": [first index, step, ...]}, each index the
//               previous one plus its step)
//    "first": {selector: element index or null},       query_one
//    "evaluate": {"cursor" or script text: result}}    page evaluate
//
// The bulk script answers in a compact form of the same layout, read as it
// comes: an element is [mask, facts...], bit i of the mask marking fact i of
// (visible enabled tag text box attributes xpath direct sibling parent) as
// present. The answers of visible, enabled and direct are the mask's bits
// 10 + i and take no place after it; the other present facts follow in that
// order. (Element maps may use the one-letter keys v e g t b a x d s p.) Boxes are [x, y, width, height]; a tag may be an index into
//   "tags": [name, ...];
// paths are indices into a table, either pairs or flat triples
//   "paths": [[parent index or -1, "tag[n]"], ...]
//   "paths": [back, tag index, n, ...]  (the parent is `back` entries
//            earlier; one before the first entry means none).
//
// A fact or a query that was not captured makes the call fail, exactly as a
// failing browser call would: the reader then drops the element or lets the
// failure through, by the same rules as for a live page.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "tarnwick/browser/port.hpp"

namespace tarnwick::browser {

class MemoryPage : public Page {
public:
    explicit MemoryPage(Value facts);

    std::vector<ElementPtr> query_all(std::string_view selector) override;
    ElementPtr query_one(std::string_view selector) override;
    Value evaluate(std::string_view script) override;
    std::string url() override;

    // The tag names and the paths, expanded once for all elements.
    struct Tables {
        std::vector<Value> tags;
        std::vector<std::string> paths;
    };

private:
    ElementPtr element(const Value& index);
    std::shared_ptr<const Value> facts_;
    std::shared_ptr<const Tables> tables_;
    const Sequence* elements_ = nullptr;  // found on first use
    // Selector look-ups by hash: a large page has thousands of them.
    std::unordered_map<std::string_view, const Value*> queries_, first_;
};

// Thrown for a fact the page does not hold.
struct MissingFact : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace tarnwick::browser
