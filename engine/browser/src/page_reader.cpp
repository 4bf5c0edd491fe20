#include "tarnwick/browser/page_reader.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_set>

#include "tarnwick/browser/css_escape.hpp"
#include "tarnwick/browser/dedup.hpp"
#include "tarnwick/browser/memory_page.hpp"
#include "tarnwick/browser/scripts.hpp"
#include "tarnwick/core/errors.hpp"
#include "tarnwick/core/text.hpp"

namespace tarnwick::browser {

namespace {

constexpr std::size_t kMaxLabelChars = 60;
constexpr double kMaxLabelHeight = 40;
constexpr std::size_t kMaxContainerChars = 60;

// A failing browser call for one element drops that element. Abort and other
// non-std exceptions pass through.
template <class F>
void per_element(F&& body) {
    try {
        body();
    } catch (const std::exception&) {
    }
}

std::string stripped(const std::optional<std::string>& s) {
    return s ? std::string(text::strip(*s)) : std::string();
}

std::string stripped(const Value& v) { return v.is_text() ? std::string(text::strip(v.as_text())) : std::string(); }

double number_or_zero(const Value& box, std::string_view key) {
    const Value* v = box.get(key);
    return v && v->is_number() ? v->as_number() : 0.0;
}

// Boxes measured by the browser are reals, whatever the transport made of
// whole numbers.
Value measured_box(Value box) {
    if (!box.is_map()) return Value();
    for (auto& e : box.as_map())
        if (e.value.is_integer()) e.value = Value(static_cast<double>(e.value.as_integer()));
    return box;
}

bool has_area(const Value& box) {
    return box.is_map() && number_or_zero(box, "width") > 0 && number_or_zero(box, "height") > 0;
}

// Boxes rounded in the page are whole numbers, whatever the transport made
// of them (-0 for instance).
Value whole_number(const Value* v) {
    if (!v) return Value(0);
    if (v->is_real() && std::isfinite(v->as_real()) && v->as_real() == std::floor(v->as_real()) &&
        std::fabs(v->as_real()) < 9e15)
        return Value(static_cast<std::int64_t>(v->as_real()));
    return *v;
}

Map captured_attributes(Element& el) {
    Map attrs;
    for (auto name : kCapturedAttributes)
        if (auto v = el.attribute(name)) attrs.append(std::string(name), Value(std::move(*v)));
    return attrs;
}

void add_data_attributes(Element& el, Map& attrs) {
    Value data = el.evaluate(kDataAttributesJs);
    if (!data.is_map()) return;
    for (auto& e : data.as_map()) attrs.set(e.key, std::move(e.value));
}

bool non_empty(const std::optional<std::string>& s) { return s && !s->empty(); }

// One ElementDescriptor, keys in record order; `is_editable_field` only for
// editable custom fields, between `is_enabled` and `xpath`.
Value descriptor(Value tag, std::string text, Map attributes, Value box, bool visible, bool enabled,
                 bool editable_field, Value xpath) {
    Map record;
    record.reserve(8);
    record.append("tag", std::move(tag));
    record.append("text", Value(std::move(text)));
    record.append("attributes", Value(std::move(attributes)));
    record.append("bounding_box", std::move(box));
    record.append("is_visible", Value(visible));
    record.append("is_enabled", Value(enabled));
    if (editable_field) record.append("is_editable_field", Value(true));
    record.append("xpath", std::move(xpath));
    return Value(std::move(record));
}

}  // namespace

bool is_custom_input(std::string_view tag, std::string_view classes) {
    if (tag == "input" || tag == "textarea" || tag == "select") return false;
    const std::string lowered = text::lower(classes);
    return text::contains(lowered, "editable") || text::contains(lowered, "input");
}

Sequence PageReader::main_pass() {
    Sequence out;
    for (auto& handle : page_.query_all(interactable_selector())) {
        per_element([&] {
            Element& el = *handle;
            const bool visible = el.is_visible();
            const bool enabled = el.is_enabled();
            Value tag = el.evaluate(kTagNameJs);
            std::string content = stripped(el.inner_text());
            if (content.empty()) content = stripped(el.attribute("value"));
            Value box = measured_box(el.bounding_box());
            if (!has_area(box)) return;
            if (!visible && !non_empty(el.attribute("aria-label")) && !non_empty(el.attribute("title"))) return;
            Map attrs = captured_attributes(el);
            add_data_attributes(el, attrs);
            Value xpath = el.evaluate(kXPathJs);
            if (tag.is_text() && (tag.as_text() == "input" || tag.as_text() == "textarea")) {
                std::string label = field_label(el);
                if (!label.empty()) attrs.set("_label", Value(std::move(label)));
            }
            out.push_back(descriptor(std::move(tag), std::move(content), std::move(attrs), std::move(box),
                                     visible, enabled, false, std::move(xpath)));
        });
    }
    return out;
}

Sequence PageReader::custom_inputs() {
    Sequence out;
    std::unordered_set<std::string> taken;
    for (auto& handle : page_.query_all(kCustomInputSelector)) {
        per_element([&] {
            Element& el = *handle;
            Value tag = el.evaluate(kTagNameJs);
            const std::string classes = el.attribute("class").value_or("");
            if (!is_custom_input(text_or(&tag), classes)) return;
            Value box = measured_box(el.bounding_box());
            if (!has_area(box)) return;
            if (!el.is_visible()) return;
            Value xpath = el.evaluate(kXPathJs);
            if (!taken.insert(std::string(text_or(&xpath))).second) return;
            std::string content = stripped(el.inner_text());
            std::string label = field_label(el);
            Map attrs = captured_attributes(el);
            if (!label.empty()) attrs.set("_label", Value(std::move(label)));
            out.push_back(descriptor(std::move(tag), std::move(content), std::move(attrs), std::move(box),
                                     true, true, true, std::move(xpath)));
        });
    }
    return out;
}

Sequence PageReader::cursor_pointer_elements() {
    Value items;
    try {
        items = page_.evaluate(kCursorPointerJs);
    } catch (const std::exception&) {
        return {};
    }
    Sequence out;
    if (!items.is_sequence()) return out;
    std::unordered_set<std::string> seen;
    for (const auto& item : items.as_sequence()) {
        if (!item.is_map()) continue;
        std::string xpath(text_or(item.get("xpath")));
        if (!seen.insert(xpath).second) continue;
        Map attrs;
        if (auto cls = text_or(item.get("cls")); !cls.empty()) attrs.append("class", Value(cls));
        if (auto aria = text_or(item.get("aria")); !aria.empty()) attrs.append("aria-label", Value(aria));
        Map box;
        box.append("x", whole_number(item.get("x")));
        box.append("y", whole_number(item.get("y")));
        box.append("width", whole_number(item.get("w")));
        box.append("height", whole_number(item.get("h")));
        out.push_back(descriptor(Value("button"), std::string(text_or(item.get("text"))), std::move(attrs),
                                 Value(std::move(box)), true, true, false, Value(std::move(xpath))));
    }
    return out;
}

std::string PageReader::field_label(Element& el) {
    if (std::string s = stripped(el.attribute("aria-label")); !s.empty()) return s;

    // The declared label of another element; a failing look-up just moves on.
    auto text_of_first = [this](const std::string& selector) -> std::string {
        try {
            if (ElementPtr hit = page_.query_one(selector)) return stripped(hit->inner_text());
        } catch (const std::exception&) {
        }
        return {};
    };
    if (auto by = el.attribute("aria-labelledby"); non_empty(by))
        if (std::string s = text_of_first(std::string("#").append(css_escape(*by))); !s.empty()) return s;
    if (auto id = el.attribute("id"); non_empty(id))
        if (std::string s = text_of_first(std::string("label[for=\"").append(css_escape(*id)).append("\"]"));
            !s.empty())
            return s;

    if (std::string s = stripped(el.attribute("placeholder")); !s.empty()) return s;
    if (std::string s = stripped(el.attribute("title")); !s.empty()) return s;

    for (auto script : {kPrecedingSiblingTextJs, kParentEarlierChildTextJs}) {
        try {
            if (std::string s = stripped(el.evaluate(script)); !s.empty()) return s;
        } catch (const std::exception&) {
        }
    }
    return {};
}

Sequence PageReader::label_candidates() {
    Sequence out;
    std::unordered_set<std::string> taken;
    for (auto& handle : page_.query_all(kLabelCandidateSelector)) {
        per_element([&] {
            Element& el = *handle;
            if (!el.is_visible()) return;
            std::string content = stripped(el.inner_text());
            Value box = measured_box(el.bounding_box());
            if (content.empty() || !box.is_map()) return;
            if (text::length(content) > kMaxLabelChars || number_or_zero(box, "height") > kMaxLabelHeight) return;
            if (!taken.insert(content).second) return;
            Map candidate;
            candidate.append("text", Value(std::move(content)));
            candidate.append("bounding_box", std::move(box));
            out.push_back(Value(std::move(candidate)));
        });
    }
    return out;
}

Sequence PageReader::text_elements() {
    Sequence candidates;
    for (auto& handle : page_.query_all(text_selector())) {
        per_element([&] {
            Element& el = *handle;
            if (!el.is_visible()) return;
            std::string content = stripped(el.inner_text());
            if (content.empty()) return;
            Value box = measured_box(el.bounding_box());
            if (!box.is_map()) return;
            Value tag = el.evaluate(kTagNameJs);
            Value xpath = el.evaluate(kXPathJs);
            Map attrs;
            for (auto name : kTextAttributes)
                if (auto v = el.attribute(name)) attrs.append(std::string(name), Value(std::move(*v)));
            add_data_attributes(el, attrs);
            const bool direct = el.evaluate(kDirectTextJs).truthy();
            Map record;
            record.reserve(8);
            record.append("tag", std::move(tag));
            record.append("text", Value(std::move(content)));
            record.append("has_direct_text", Value(direct));
            record.append("attributes", Value(std::move(attrs)));
            record.append("bounding_box", std::move(box));
            record.append("is_visible", Value(true));
            record.append("is_enabled", Value(true));
            record.append("xpath", std::move(xpath));
            candidates.push_back(Value(std::move(record)));
        });
    }
    Sequence kept;
    for (std::size_t i : dedup_text_positions(candidates)) kept.push_back(std::move(candidates[i]));
    return kept;
}

PageRead PageReader::read() {
    PageRead result;
    result.elements = main_pass();
    for (auto& record : custom_inputs()) result.elements.push_back(std::move(record));
    for (auto& record : cursor_pointer_elements()) result.elements.push_back(std::move(record));
    assign_spatial_labels(result.elements, label_candidates());
    result.text_elements = text_elements();
    return result;
}

namespace {

MemoryPage capture(Page& page) {
    Value facts = page.evaluate_json(bulk_read_js());
    if (!facts.is_map()) throw std::runtime_error("the page read script returned no record");
    return MemoryPage(std::move(facts));
}

}  // namespace

PageRead read_in_one_call(Page& page) {
    MemoryPage captured = capture(page);
    return PageReader(captured).read();
}

Sequence text_elements_in_one_call(Page& page) {
    MemoryPage captured = capture(page);
    return PageReader(captured).text_elements();
}

std::vector<std::pair<std::size_t, std::string>> assign_spatial_labels(Sequence& elements,
                                                                       const Sequence& candidates) {
    auto number = [](const Value& box, std::string_view key, const char* what, std::size_t i) {
        const Value* v = box.get(key);
        if (!v || !v->is_number())
            throw ValueError(std::string(what) + "[" + std::to_string(i) + "]['bounding_box'] has no numeric '" +
                             std::string(key) + "'");
        return v->as_number();
    };
    struct Candidate {
        double x, right, bottom;
        std::string_view text;
    };
    std::vector<Candidate> cands;
    cands.reserve(candidates.size());
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const Value* box = candidates[i].get("bounding_box");
        if (!box || !box->is_map())
            throw ValueError("label_candidates[" + std::to_string(i) + "] has no bounding_box");
        const double x = number(*box, "x", "label_candidates", i);
        cands.push_back({x, x + number(*box, "width", "label_candidates", i),
                         number(*box, "y", "label_candidates", i) + number(*box, "height", "label_candidates", i),
                         text_or(candidates[i].get("text"))});
    }

    // The nearest candidate above is the one with the lowest bottom edge not
    // below the element's top; among equal bottoms the earlier one wins. With
    // candidates ordered that way, the first that overlaps horizontally is
    // the answer, found without scanning the whole list for most elements.
    std::vector<std::size_t> order;
    order.reserve(cands.size());
    for (std::size_t c = 0; c < cands.size(); ++c)
        if (!std::isnan(cands[c].bottom)) order.push_back(c);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return cands[a].bottom > cands[b].bottom; });

    std::vector<std::pair<std::size_t, std::string>> labelled;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        Value& element = elements[i];
        if (!element.is_map()) throw TypeError("elements[" + std::to_string(i) + "] must be a dict");
        const Value* attrs = element.get("attributes");
        if (attrs && !text_or(attrs->get("_label")).empty()) continue;
        const Value* box = element.get("bounding_box");
        if (!box || box->is_null()) continue;
        if (!box->is_map()) throw ValueError("elements[" + std::to_string(i) + "]['bounding_box'] is not a dict");
        const double x = number(*box, "x", "elements", i);
        const double width = number(*box, "width", "elements", i);
        const double top = number(*box, "y", "elements", i);
        std::string_view best_text;
        auto from = std::partition_point(order.begin(), order.end(),
                                         [&](std::size_t c) { return cands[c].bottom > top; });
        for (auto it = from; it != order.end(); ++it) {
            const auto& c = cands[*it];
            // A distance that is not finite is never "smaller than infinity".
            if (!(top - c.bottom < std::numeric_limits<double>::infinity())) break;
            if (c.x <= x + width && c.right >= x) {
                best_text = c.text;
                break;
            }
        }
        if (best_text.empty()) continue;
        Value* target = element.as_map().find("attributes");
        if (!target || !target->is_map()) target = &element.as_map().set("attributes", Value(Map{}));
        target->as_map().set("_label", Value(best_text));
        labelled.emplace_back(i, std::string(best_text));
    }
    return labelled;
}

}  // namespace tarnwick::browser
