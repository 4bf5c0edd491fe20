// Level 1 resolution: finds the element an instruction speaks of by text and
// attributes, checks element and text states, finds texts, and verifies or
// extracts the text beside an anchor. Results name elements by position in
// the sequences they came from, so a caller holding its own record objects
// can hand back those very objects.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tarnwick/core/value.hpp"

namespace tarnwick::textfinder {

enum class Source { Dom, Text };

struct ElementRef {
    Source source;
    std::size_t index;
    bool operator==(const ElementRef&) const = default;
};

// Which keys a result carries, and in which order (see the binding):
// Element: resolved, confidence, element, candidates;
// Verification: resolved, verified, confidence, element, state, candidates;
// Extraction: resolved, confidence, element, extracted, candidates.
enum class ResultShape { Element, Verification, Extraction };

struct Resolution {
    ResultShape shape = ResultShape::Element;
    bool resolved = false;
    bool verified = false;
    std::optional<ElementRef> element;
    Map state;
    std::string extracted;
    std::vector<ElementRef> candidates;

    double confidence() const { return resolved ? 1.0 : 0.0; }
};

// The keys of a parsed instruction read at this level, with their defaults.
struct Instruction {
    std::string action;
    std::string target;
    std::string value;
    std::int64_t ordinal = 1;
};

// A sequence of element records, possibly loaded on first use so that a
// caller converting records from another form converts only what a path
// reads. Identity tokens, when given, tell records apart the way the caller
// does (the same object may sit in both sequences); otherwise a record is
// identified by its address.
class RecordSet {
public:
    using Loader = std::function<std::span<const Value>()>;

    RecordSet() : loaded_(true) {}
    RecordSet(std::span<const Value> records) : records_(records), loaded_(true) {}
    RecordSet(const std::vector<Value>& records) : RecordSet(std::span<const Value>(records)) {}
    RecordSet(Loader load, std::span<const void* const> identities = {})
        : load_(std::move(load)), identities_(identities) {}

    std::span<const Value> get() const {
        if (!loaded_) {
            records_ = load_();
            loaded_ = true;
        }
        return records_;
    }
    const void* identity(std::size_t i) const {
        return identities_.empty() ? static_cast<const void*>(&get()[i]) : identities_[i];
    }

private:
    Loader load_;
    std::span<const void* const> identities_;
    mutable std::span<const Value> records_;
    mutable bool loaded_ = false;
};

// The record keys a path reads, as bits. A caller converting records from
// another form may leave every other key out.
namespace record_keys {
inline constexpr unsigned tag = 1u << 0, text = 1u << 1, attributes = 1u << 2,
                          bounding_box = 1u << 3, is_visible = 1u << 4, is_enabled = 1u << 5,
                          is_editable_field = 1u << 6, xpath = 1u << 7, all = (1u << 8) - 1;
}

struct KeysRead {
    unsigned dom = record_keys::all;
    unsigned text = record_keys::all;
};

// What DOMStrategy::resolve reads of each sequence for an action.
KeysRead keys_read(std::string_view action);

// Stateless; one instance serves any number of calls.
class DOMStrategy {
public:
    Resolution resolve(const Instruction& instruction, const RecordSet& dom_elements,
                       const RecordSet& text_elements = {}) const;

    // Actions that act on an element (click, type, select, hover, ...).
    Resolution resolve_element_action(const Instruction& instruction,
                                      const RecordSet& dom_elements,
                                      const RecordSet& text_elements = {}) const;

    Resolution resolve_find_text(std::string_view target, const RecordSet& text_elements) const;
    Resolution resolve_find_exact_text(std::string_view target,
                                       const RecordSet& text_elements) const;
    // `action` is one of verify_present, verify_visible, verify_enabled,
    // verify_disabled (resp. verify_text_present, verify_text_visible);
    // anything else raises ValueError.
    Resolution resolve_verify(std::string_view action, std::string_view target,
                              const RecordSet& dom_elements) const;
    Resolution resolve_verify_text(std::string_view action, std::string_view target,
                                   const RecordSet& text_elements) const;

    Resolution resolve_verify_spatial_text(std::string_view target, std::string_view expected,
                                           const RecordSet& text_elements,
                                           const RecordSet& dom_elements = {}) const;
    Resolution resolve_extract_spatial_text(std::string_view target,
                                            const RecordSet& text_elements,
                                            const RecordSet& dom_elements = {}) const;
};

}  // namespace tarnwick::textfinder
